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

platform::Status SuspendProcess(const platform::ProcessInfo& judged) {
  // The program's own process is refused as a lack of permission: it could not resume itself.
  if (judged.processId == platform::currentProcessId()) return platform::Status::failure(platform::kPermissionDenied);
  platform::Status result;
  const auto process = platform::ProcessHandle::open(judged, &result);
  if (!process.valid()) return result;
  bool suspended = false;
  result = platform::Status::failure(platform::kNoSuchProcess);  // when no thread of it is listed
  const int last = ListThreads(judged.processId);
  for (int i = 0; i <= last; ++i) {
    const auto& thread = threadList[static_cast<std::size_t>(i)];
    if (thread.ownerProcessId != judged.processId) continue;
    platform::Status attempt = SuspendThreadById(thread.threadId, process);
    if (attempt)
      suspended = true;
    else
      result = std::move(attempt);
  }
  return suspended ? platform::Status() : result;
}

platform::Status ResumeProcess(const platform::ProcessInfo& judged) {
  platform::Status result;
  const auto process = platform::ProcessHandle::open(judged, &result);
  if (!process.valid()) return result;
  bool resumed = false;
  result = platform::Status::failure(platform::kNoSuchProcess);
  const int last = ListThreads(judged.processId);
  for (int i = 0; i <= last; ++i) {
    const auto& thread = threadList[static_cast<std::size_t>(i)];
    if (thread.ownerProcessId != judged.processId) continue;
    if (platform::Status attempt = process.resumeThread(thread.threadId))
      resumed = true;
    else
      result = std::move(attempt);
  }
  return resumed ? platform::Status() : result;
}

platform::Status SuspendThreadById(std::uint32_t threadId, const platform::ProcessHandle& owner) {
  return owner.suspendThread(threadId);
}

}  // namespace halvik::process::mdlProcess
