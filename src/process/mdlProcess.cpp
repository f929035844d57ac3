#include "process/mdlProcess.h"

namespace halvik::process::mdlProcess {
namespace {
std::vector<platform::ThreadInfo> threadList;
}  // namespace

const std::vector<platform::ThreadInfo>& ThreadList() { return threadList; }

int ListThreads(std::uint32_t /*processId*/) {
  threadList = platform::threadSnapshot();
  return static_cast<int>(threadList.size()) - 1;
}

bool SuspendProcess(const platform::ProcessInfo& judged) {
  if (judged.processId == platform::currentProcessId()) return false;
  const auto process = platform::ProcessHandle::open(judged);
  if (!process.valid()) return false;
  bool suspended = false;
  const int last = ListThreads(judged.processId);
  for (int i = 0; i <= last; ++i) {
    const auto& thread = threadList[static_cast<std::size_t>(i)];
    if (thread.ownerProcessId == judged.processId && SuspendThreadById(thread.threadId, process)) suspended = true;
  }
  return suspended;
}

bool SuspendThreadById(std::uint32_t threadId, const platform::ProcessHandle& owner) {
  return owner.suspendThread(threadId);
}

}  // namespace halvik::process::mdlProcess
