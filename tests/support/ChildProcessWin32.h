#pragma once

// The Windows side of ChildProcess.h: the same helper, started and watched through the Windows
// API. A process counts as stopped ('T') when every one of its threads is suspended.
#include "platform/Platform.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace halvik::testing_support {

// An identifier no process gets: Windows gives out small multiples of four.
inline std::uint32_t unusedProcessId() { return 0xFFFFFFFCu; }

// The suspend count of one thread, read by suspending it once more and resuming it:
// SuspendThread returns the count from before its own increment. -1 when it cannot be opened.
inline DWORD suspendCount(std::uint32_t threadId) {
  HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId);
  if (!thread) return static_cast<DWORD>(-1);
  const DWORD before = SuspendThread(thread);
  ResumeThread(thread);
  CloseHandle(thread);
  return before;
}

// A copy of the sleeping helper program (halvik_test_sleeper.exe, built beside the tests)
// started under a name of the test's choosing; terminated and waited for when the object goes.
class ChildProcess {
 public:
  // Copies the helper to `imagePath` (unless it exists already) and starts it with `threads` extra threads.
  explicit ChildProcess(const std::string& imagePath, int threads = 0) {
    std::error_code error;
    if (!std::filesystem::exists(imagePath, error))
      std::filesystem::copy_file(platform::programFolder() + "\\halvik_test_sleeper.exe", imagePath);
    std::string command = imagePath;
    command.insert(command.begin(), '"');
    command += "\" " + std::to_string(threads);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(imagePath.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &m_process))
      throw std::runtime_error("cannot start " + imagePath);
    // Wait until all its threads exist and run and the process can be described (under Wine its
    // module list is read from the child's memory, which is incomplete for a while after it starts).
    // A child that never gets there fails the test here rather than leaving it without threads.
    if (!waitFor([&] {
          return threadIds().size() == static_cast<std::size_t>(threads) + 1 && everyThreadIs('S') &&
                 platform::processInfo(pid());
        })) {
      stop();
      throw std::runtime_error("no running start of " + imagePath);
    }
  }
  ~ChildProcess() { stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::uint32_t pid() const { return m_process.dwProcessId; }
  HANDLE handle() const { return m_process.hProcess; }

  // Terminates the child now and waits for its end (its identifier then names no process of ours).
  void stop() {
    if (!m_process.hProcess) return;
    TerminateProcess(m_process.hProcess, 9);
    WaitForSingleObject(m_process.hProcess, 10000);
    release();
  }

  // True once the child has ended; false while it still runs or is suspended.
  bool ended() {
    if (!m_process.hProcess) return true;
    if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) return false;
    release();
    return true;
  }

  // 'S' running, 'T' every thread suspended, 'Z' ended, '?' gone.
  char state() const {
    if (!m_process.hProcess) return '?';
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0) return 'Z';
    const auto threads = threadIds();
    if (threads.empty()) return '?';
    for (const auto thread : threads)
      if (suspendCount(thread) == 0) return 'S';
    return 'T';
  }

  // Resumes every thread completely.
  void resume() const {
    for (const auto id : threadIds()) {
      HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
      if (!thread) continue;
      while (ResumeThread(thread) > 1) {
      }
      CloseHandle(thread);
    }
  }

  // True when any thread of the child is suspended: suspension is done by the time the call returns.
  bool stopSent() const {
    for (const auto thread : threadIds()) {
      const DWORD count = suspendCount(thread);
      if (count > 0 && count != static_cast<DWORD>(-1)) return true;
    }
    return false;
  }

  // Waits for the child to end.
  bool waitForEnd() {
    return waitFor([&] { return ended(); });
  }

  // True when the child still runs. Windows has no signal to order after one sent earlier: a
  // termination already under way may not show yet, so this can miss a kill, but never fails on
  // a child that nothing killed.
  bool survivesAStop() { return !ended(); }

  bool waitForState(char wanted) const {
    return waitFor([&] { return state() == wanted; });
  }

  bool waitForEveryThread(char wanted) const {
    return waitFor([&] { return everyThreadIs(wanted); });
  }

  std::vector<std::uint32_t> threadIds() const {
    std::vector<std::uint32_t> ids;
    for (const auto& thread : platform::threadSnapshot())
      if (thread.ownerProcessId == pid()) ids.push_back(thread.threadId);
    return ids;
  }

 private:
  bool everyThreadIs(char wanted) const {
    const auto threads = threadIds();
    for (const auto thread : threads)
      if ((suspendCount(thread) > 0 ? 'T' : 'S') != wanted) return false;
    return !threads.empty();
  }

  void release() {
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
    m_process = PROCESS_INFORMATION{};
  }

  // Processes start slowly under Wine, and a busy machine slows everything: up to thirty seconds.
  template <typename Condition>
  static bool waitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  PROCESS_INFORMATION m_process{};
};

}  // namespace halvik::testing_support
