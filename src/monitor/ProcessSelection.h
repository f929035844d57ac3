#pragma once

#include <cstdint>
#include <string>

namespace halvik::monitor {

// The process the user clicked in the monitor's list, as its row listed it.
struct ProcessSelection {
  std::uint32_t processId = 0;
  std::string imagePath;  // the row's text: raw path bytes
  std::uint64_t startTime = 0;
};

// "Terminer": ends the selected process, but only while its identifier still names the process
// that was listed (same image path and start time), so that an identifier the system has since
// given to another program is never hit. Logs "User Killed Process " + the path in every case.
void TerminateSelection(const ProcessSelection& selection);

// "Reprendre": lets the selected process run again, checked as TerminateSelection checks it, and
// exempts it from both monitors for as long as it runs (process::ResumedProcesses). Logs
// "User Resumed Process " + the path when it was resumed, and why not otherwise.
void ResumeSelection(const ProcessSelection& selection);

}  // namespace halvik::monitor
