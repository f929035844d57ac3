// Process listing and termination with the process status interface (psapi).
#include "platform/Platform.h"
#include "platform/win32/Handle.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace halvik::platform {
namespace {
constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x410
constexpr DWORD kModuleBufferBytes = 200;
constexpr DWORD kPathCharacters = 260;

// The identifiers of every process. The buffer starts at 16 bytes and doubles while a call
// fills it completely, since a full buffer may have cut the list short.
std::vector<DWORD> processIds() {
  std::vector<DWORD> ids;
  DWORD bufferBytes = 8;
  DWORD returnedBytes = 96;
  while (bufferBytes <= returnedBytes) {
    bufferBytes *= 2;
    ids.assign(bufferBytes / sizeof(DWORD), 0);
    if (!EnumProcesses(ids.data(), bufferBytes, &returnedBytes)) return {};
  }
  ids.resize(returnedBytes / sizeof(DWORD));
  return ids;
}

// The image path and creation time of the open process `process`.
std::optional<ProcessInfo> describe(HANDLE process, DWORD processId) {
  HMODULE modules[kModuleBufferBytes / sizeof(HMODULE)];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof(modules), &needed) || needed == 0) return std::nullopt;
  char path[kPathCharacters];
  const DWORD length = GetModuleFileNameExA(process, modules[0], path, kPathCharacters);
  if (length == 0) return std::nullopt;
  ProcessInfo info{processId, std::string(path, length), 0};
  FILETIME created, exited, kernel, user;
  if (GetProcessTimes(process, &created, &exited, &kernel, &user))
    info.startTime = (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  return info;
}

std::optional<ProcessInfo> describe(DWORD processId) {
  win32::Handle process(OpenProcess(kQueryAndRead, FALSE, processId));
  if (!process) return std::nullopt;
  return describe(process.get(), processId);
}

bool running(HANDLE process) {
  DWORD exitCode = 0;
  return GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
}
}  // namespace

std::vector<ProcessInfo> listProcesses() {
  std::vector<DWORD> ids = processIds();
  std::sort(ids.begin(), ids.end());
  std::vector<ProcessInfo> processes;
  for (const DWORD id : ids) {
    if (auto info = describe(id)) processes.push_back(std::move(*info));
  }
  return processes;
}

std::optional<ProcessInfo> processInfo(std::uint32_t processId) { return describe(processId); }

std::uint32_t currentProcessId() { return GetCurrentProcessId(); }

Status terminateProcess(std::uint32_t processId) {
  win32::Handle process(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, processId));
  if (!process) return Status::lastError();
  // A process that has already ended can still be opened while someone holds a handle to it;
  // it is not reported as terminated by this call.
  if (!running(process.get())) return Status::failure(kNoSuchProcess);
  return TerminateProcess(process.get(), 0) ? Status() : Status::lastError();
}

ProcessHandle ProcessHandle::open(const ProcessInfo& judged, Status* failure) {
  const auto fail = [failure](Status reason) {
    if (failure) *failure = std::move(reason);
    return ProcessHandle();
  };
  win32::Handle process(OpenProcess(kQueryAndRead, FALSE, judged.processId));
  if (!process) return fail(Status::lastError());
  if (!running(process.get())) return fail(Status::failure(kNoSuchProcess));
  // Read through the handle itself: the process it holds is the one checked.
  const auto now = describe(process.get(), judged.processId);
  if (!now || now->startTime != judged.startTime || now->imagePath != judged.imagePath)
    return fail(Status::failure(kNoSuchProcess));
  return ProcessHandle(std::move(process), judged);
}

Status ProcessHandle::suspendThread(std::uint32_t threadId) const {
  // While the handle is held the identifier cannot name another process, so the thread's owner
  // checked by suspendThread is this process.
  if (!m_open || !running(win32::handleOf(m_handle.value()))) return Status::failure(kNoSuchProcess);
  return platform::suspendThread(m_judged.processId, threadId);
}

// Each check suspended the thread once more: it runs again once every suspension is undone.
Status ProcessHandle::resumeThread(std::uint32_t threadId) const {
  if (!m_open || !running(win32::handleOf(m_handle.value()))) return Status::failure(kNoSuchProcess);
  win32::Handle thread(OpenThread(THREAD_SUSPEND_RESUME | THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId));
  if (!thread) return Status::lastError();
  if (GetProcessIdOfThread(thread.get()) != m_judged.processId) return Status::failure(kNoSuchProcess);
  for (;;) {
    const DWORD before = ResumeThread(thread.get());
    if (before == static_cast<DWORD>(-1)) return Status::lastError();
    if (before <= 1) return {};
  }
}

}  // namespace halvik::platform
