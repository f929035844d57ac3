#pragma once

#include <chrono>
#include <string>

namespace halvik::core {

// `time` as ISO 8601 in UTC to the second ("2026-12-07T17:04:55Z"): how stored times and the
// command line's reports write a moment.
std::string isoTime(std::chrono::system_clock::time_point time);

}  // namespace halvik::core
