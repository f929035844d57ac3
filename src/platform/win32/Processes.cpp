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

bool terminateProcess(std::uint32_t processId) {
  win32::Handle process(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, processId));
  if (!process) return false;
  // A process that has already ended can still be opened while someone holds a handle to it;
  // it is not reported as terminated by this call.
  return running(process.get()) && TerminateProcess(process.get(), 0);
}

void ProcessHandle::release() {
  if (m_handle >= 0) CloseHandle(win32::handleOf(m_handle));
  m_handle = -1;
  m_open = false;
}

ProcessHandle ProcessHandle::open(const ProcessInfo& judged) {
  win32::Handle process(OpenProcess(kQueryAndRead, FALSE, judged.processId));
  if (!process || !running(process.get())) return {};
  // Read through the handle itself: the process it holds is the one checked.
  const auto now = describe(process.get(), judged.processId);
  if (!now || now->startTime != judged.startTime || now->imagePath != judged.imagePath) return {};
  return ProcessHandle(reinterpret_cast<std::intptr_t>(process.release()), judged);
}

bool ProcessHandle::suspendThread(std::uint32_t threadId) const {
  // While the handle is held the identifier cannot name another process, so the thread's owner
  // checked by suspendThread is this process.
  return m_open && running(win32::handleOf(m_handle)) && platform::suspendThread(m_judged.processId, threadId);
}

}  // namespace halvik::platform
