#pragma once

#include <cstdint>
#include <string>

// The running-process check: is a process's image a known threat? If so the process is suspended
// at every call, and its suspension logged once per process (identifier and start time).
namespace halvik::process::ProcessCheck {

// The verdict columns of the process's row.
struct Verdict {
  std::string status;  // "Status des Adwares": the threat name, or "No"
  std::string action;  // "Action Taken": "Application Suspended", or "N/A"
};

inline constexpr const char* kClean = "No";
inline constexpr const char* kNoAction = "N/A";
inline constexpr const char* kSuspended = "Application Suspended";

// Looks the file name of `imagePath` up in the signature database. On a hit suspends the listed
// process (`processId`, started at `startTime`), and only that process: never a later one given
// the same identifier. When the suspension took effect the row shows "Application Suspended" and
// the log says so (the first time for that process); when it did not (the process has ended, or may not be signalled)
// the row shows "N/A" and the log line says the process could not be suspended, and the system's reason. The program's
// own process and the program folder's own programs (the main program and the companion) are never suspended, nor is a
// process the user resumed (ResumedProcesses): their row shows the threat name with "N/A" and nothing is logged.
Verdict CheckRunningProcess(const std::string& imagePath, std::uint32_t processId, std::uint64_t startTime);

}  // namespace halvik::process::ProcessCheck
