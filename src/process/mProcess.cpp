#include "process/mProcess.h"

#include "engine/ProcessCheck.h"
#include "platform/Platform.h"
#include "process/ProcessListView.h"

#include <cstdlib>
#include <utility>

namespace mProcess {
namespace {
std::optional<std::uint16_t> platformIdOverride;
std::function<void()> refusalHook;
}  // namespace

std::uint16_t GetPlatformId() { return platformIdOverride.value_or(platform::platformId()); }

void overridePlatformId(std::optional<std::uint16_t> platformId) { platformIdOverride = platformId; }

void setRefusalHook(std::function<void()> hook) { refusalHook = std::move(hook); }

std::uint16_t CheckPlatform() {
  const std::uint16_t id = GetPlatformId();
  if (id == 1) {
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
  // Only a platform that supports the monitor gets a list; elsewhere the refusal has ended the program.
  if (CheckPlatform() != 2) return;
  view.clear();
  for (const ProcessEntry& entry : ListProcesses()) {
    const int row = view.addRow(entry.ImagePath);
    const auto verdict = ProcessCheck::CheckRunningProcess(entry.ImagePath, entry.ProcessId);
    view.setSubItems(row, verdict.status, verdict.action);
    view.setTag(row, entry.ProcessId, entry.StartTime);
  }
}

}  // namespace mProcess
