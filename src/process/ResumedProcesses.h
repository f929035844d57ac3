#pragma once

#include <cstdint>

// The processes the user resumed after a monitor suspended them: neither monitor (the main
// window's nor the companion's) suspends them again while they run, or a false positive would be
// frozen again at the next check. Shared by both programs through a small file of the private
// runtime folder, one "identifier start-time" line per resumed process; a later process given the
// same identifier has another start time and is not exempt.
namespace halvik::process::ResumedProcesses {

inline constexpr const char* kFileName = "orvento-halvik-resumed";

// Records the process as resumed. False when the file could not be written.
bool add(std::uint32_t processId, std::uint64_t startTime);

// True when the process was resumed by the user.
bool contains(std::uint32_t processId, std::uint64_t startTime);

}  // namespace halvik::process::ResumedProcesses
