#include "process/mdlProcess.h"

namespace mdlProcess {
namespace {
std::vector<platform::ThreadInfo> threadList;
}  // namespace

const std::vector<platform::ThreadInfo>& ThreadList() { return threadList; }

int ListThreads(std::uint32_t /*processId*/) {
  threadList = platform::threadSnapshot();
  return static_cast<int>(threadList.size()) - 1;
}

void SuspendProcess(std::uint32_t processId) {
  if (processId == platform::currentProcessId()) return;
  const int last = ListThreads(processId);
  for (int i = 0; i <= last; ++i) {
    const auto& thread = threadList[static_cast<std::size_t>(i)];
    if (thread.ownerProcessId == processId) SuspendThreadById(thread.threadId, thread.ownerProcessId);
  }
}

void SuspendThreadById(std::uint32_t threadId, std::uint32_t ownerProcessId) {
  platform::suspendThread(ownerProcessId, threadId);
}

}  // namespace mdlProcess
