#pragma once

#include <cstdint>
#include <string>

// The running-process check: is a process's image a known threat? If so the finding is logged
// and the process suspended, at every call.
namespace ProcessCheck {

// The verdict columns of the process's row.
struct Verdict {
  std::string status;  // "Status des Adwares": the threat name, or "No"
  std::string action;  // "Action Taken": "Application Suspended", or "N/A"
};

inline constexpr const char* kClean = "No";
inline constexpr const char* kNoAction = "N/A";
inline constexpr const char* kSuspended = "Application Suspended";

// Looks the file name of `imagePath` up in the signature database. On a hit writes the log line
// and suspends `processId`, except the program's own process and the program folder's own programs
// (the main program and the companion), which are never suspended (their row shows the threat
// name with "N/A" and no line is logged, since nothing is suspended).
Verdict CheckRunningProcess(const std::string& imagePath, std::uint32_t processId);

}  // namespace ProcessCheck
