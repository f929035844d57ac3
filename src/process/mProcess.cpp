#include "process/mProcess.h"

#include "platform/Environment.h"
#include "platform/Platform.h"
#include "process/ProcessCheck.h"
#include "process/ProcessListView.h"

#include <cstdlib>
#include <functional>
#include <utility>

namespace halvik::process::mProcess {

std::uint16_t GetPlatformId() { return platform::environment().platformId; }

std::uint16_t CheckPlatform() {
  const std::uint16_t id = GetPlatformId();
  if (id == 1) {
    // A copy: the hook may replace the environment's hook while it runs.
    const std::function<void()> refusalHook = platform::environment().refusalHook;
    if (!refusalHook) std::exit(EXIT_SUCCESS);
    refusalHook();
  }
  return id;
}

std::vector<ProcessEntry> ListProcesses() {
  std::vector<ProcessEntry> entries;
  for (auto& process : platform::listProcesses())
    entries.push_back(ProcessEntry{process.processId, std::move(process.imagePath), process.startTime});
  return entries;
}

void KillProcess(std::uint32_t processId) { platform::terminateProcess(processId); }

void RefreshProcessList(ProcessListView& view) {
  const std::uint16_t platformId = CheckPlatform();
  // On the Windows 95 family the refusal has ended the program (a test's hook returns instead).
  if (platformId == 1) return;
  // Only the family that supports the monitor starts from an empty list; any other identifier
  // keeps the rows and appends the new ones after them.
  if (platformId == 2) view.clear();
  for (const ProcessEntry& entry : ListProcesses()) {
    const int row = view.addRow(entry.ImagePath);
    const auto verdict = process::ProcessCheck::CheckRunningProcess(entry.ImagePath, entry.ProcessId, entry.StartTime);
    view.setSubItems(row, verdict.status, verdict.action);
    view.setTag(row, entry.ProcessId, entry.StartTime);
  }
}

}  // namespace halvik::process::mProcess
