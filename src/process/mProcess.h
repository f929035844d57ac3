#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halvik::process {

class ProcessListView;

// Process listing, the platform test, termination and the monitor's refresh.
}  // namespace halvik::process

namespace halvik::process::mProcess {

// One listed process.
struct ProcessEntry {
  std::uint32_t ProcessId = 0;
  std::string ImagePath;        // full path of the executable image, never empty
  std::uint64_t StartTime = 0;  // tells this process apart from a later one given the same identifier
};

// 1 for the Windows 95 family (no monitor), 2 for systems that support the monitor: the
// environment's platform identifier.
std::uint16_t GetPlatformId();

// The refusal shown on the Windows 95 family.
// "Mellinium" misspelt as the refusal has always read: kept unchanged.
inline constexpr const char* kRefusalMessage = "Windows 95, 98 et Mellinium ne sont pas supportés pour cette option!";

// Returns the platform identifier; on identifier 1 runs the environment's refusal hook first
// (which does not return in the program), or ends the program when there is none.
std::uint16_t CheckPlatform();

// The running processes the program can read, ascending by identifier.
std::vector<ProcessEntry> ListProcesses();

// Ends the process at once. No result: a failure is silent.
void KillProcess(std::uint32_t processId);

// Rebuilds the monitor's list: the platform test, then one checked row per listed process. The
// rows are cleared first on identifier 2 only; under any other the new rows follow the old ones,
// and identifier 1 (whose refusal ends the program) lists nothing.
void RefreshProcessList(ProcessListView& view);

}  // namespace halvik::process::mProcess
