// The toolhelp thread snapshot and thread suspension.
#include "platform/Platform.h"
#include "platform/win32/Handle.h"

#include <tlhelp32.h>

namespace halvik::platform {

std::vector<ThreadInfo> threadSnapshot() {
  std::vector<ThreadInfo> threads;
  // The snapshot covers every thread of the machine whatever process identifier is given.
  win32::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return threads;
  THREADENTRY32 entry;
  static_assert(sizeof(entry) == 28, "THREADENTRY32 is the 28-byte record");
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
    threads.push_back({entry.th32ThreadID, entry.th32OwnerProcessID});
  return threads;
}

Status suspendThread(std::uint32_t ownerProcessId, std::uint32_t threadId) {
  win32::Handle thread(OpenThread(THREAD_SUSPEND_RESUME | THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId));
  if (!thread) return Status::lastError();
  // A thread identifier is reused once its thread has ended: the thread must still belong to
  // the process the snapshot named, or another program's thread would be stopped.
  if (GetProcessIdOfThread(thread.get()) != ownerProcessId) return Status::failure(kNoSuchProcess);
  return SuspendThread(thread.get()) != static_cast<DWORD>(-1) ? Status() : Status::lastError();
}

}  // namespace halvik::platform
