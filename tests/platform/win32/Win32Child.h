#pragma once

#include "platform/Platform.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// A running copy of the test helper halvik_test_child.exe with `extraThreads` threads beside its
// main thread; terminated and waited for when the object goes.
class Win32Child {
 public:
  explicit Win32Child(int extraThreads = 0) {
    std::string command = imagePath();
    command.insert(command.begin(), '"');
    command += "\" " + std::to_string(extraThreads);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process))
      throw std::runtime_error("cannot start " + imagePath());
    // Ready once every thread exists.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (threadIds().size() < static_cast<std::size_t>(extraThreads) + 1) {
      if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("helper threads did not start");
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ~Win32Child() {
    TerminateProcess(m_process.hProcess, 9);
    WaitForSingleObject(m_process.hProcess, 10000);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
  }
  Win32Child(const Win32Child&) = delete;
  Win32Child& operator=(const Win32Child&) = delete;

  static std::string imagePath() { return platform::programFolder() + "\\halvik_test_child.exe"; }

  std::uint32_t id() const { return m_process.dwProcessId; }
  HANDLE handle() const { return m_process.hProcess; }

  std::vector<std::uint32_t> threadIds() const {
    std::vector<std::uint32_t> ids;
    for (const auto& thread : platform::threadSnapshot())
      if (thread.ownerProcessId == id()) ids.push_back(thread.threadId);
    return ids;
  }

  // True when the process has ended within `milliseconds`.
  bool waitForExit(DWORD milliseconds) const { return WaitForSingleObject(handle(), milliseconds) == WAIT_OBJECT_0; }

 private:
  PROCESS_INFORMATION m_process{};
};

// The suspend count of one thread, read by suspending it once more and resuming it:
// SuspendThread returns the count before its own increment.
inline DWORD suspendCount(std::uint32_t threadId) {
  HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId);
  if (!thread) return static_cast<DWORD>(-1);
  const DWORD before = SuspendThread(thread);
  ResumeThread(thread);
  CloseHandle(thread);
  return before;
}

}  // namespace testing_support
