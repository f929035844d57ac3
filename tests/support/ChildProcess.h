#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#ifdef _WIN32
#include "support/ChildProcessWin32.h"
#else
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace halvik::testing_support {

// An identifier the system never gives to a process (pid_max itself): signalling it can never hit
// a process of someone else, unlike the identifier of a child that has been reaped.
inline std::uint32_t unusedProcessId() {
  std::ifstream in("/proc/sys/kernel/pid_max");
  std::uint32_t pidMax = 32768;
  in >> pidMax;
  return pidMax;
}

// A copy of the sleeping helper program started by the test under a name of its choosing. The
// destructor kills and reaps the child, so no test leaves a process behind, and a test only ever
// signals processes it started. The helper's path comes from the build (HALVIK_SLEEPER).
class ChildProcess {
 public:
  // Copies the helper to `imagePath` (unless it exists already) and starts it with `threads` extra threads.
  explicit ChildProcess(const std::string& imagePath, int threads = 0) {
    std::error_code error;
    if (!std::filesystem::exists(imagePath, error)) {
      std::filesystem::copy_file(HALVIK_SLEEPER, imagePath);
      std::filesystem::permissions(imagePath, std::filesystem::perms::owner_all);
    }
    const std::string count = std::to_string(threads);
    char* const argv[] = {const_cast<char*>(imagePath.c_str()), const_cast<char*>(count.c_str()), nullptr};
    if (posix_spawn(&m_pid, imagePath.c_str(), nullptr, nullptr, argv, environ) != 0)
      throw std::runtime_error("cannot start " + imagePath);
    // Wait until the child runs the helper and all its threads exist and sleep.
    waitFor([&] { return threadCount() == threads + 1 && image() == imagePath && everyThreadIs('S'); });
  }
  ~ChildProcess() { stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::uint32_t pid() const { return static_cast<std::uint32_t>(m_pid); }

  // Kills and reaps the child now (its identifier then names no process of ours).
  void stop() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = 0;
  }

  // True once the child has ended (reaping it); false while it still runs or is stopped.
  bool ended() {
    if (m_pid <= 0) return true;
    if (waitpid(m_pid, nullptr, WNOHANG) != m_pid) return false;
    m_pid = 0;
    return true;
  }

  // The state letter of /proc/<pid>/stat: 'S' sleeping, 'T' stopped, 'Z' dead, '?' gone.
  char state() const { return stateOf(static_cast<std::uint32_t>(m_pid)); }

  void resume() const { kill(m_pid, SIGCONT); }

  // Waits for the child to reach `wanted`; signals are delivered asynchronously.
  bool waitForState(char wanted) const {
    return waitFor([&] { return state() == wanted; });
  }

  // Waits for every thread of the child to reach `wanted`.
  bool waitForEveryThread(char wanted) const {
    return waitFor([&] { return everyThreadIs(wanted); });
  }

  // Waits for the child to end (reaping it).
  bool waitForEnd() {
    return waitFor([&] { return ended(); });
  }
  // Stops the child with a stop of our own and waits until it has reacted: a kill sent before
  // ends it instead, since the kernel acts on a kill first. True when it was still alive; it runs
  // on afterwards. So "nothing killed it" is known without waiting for an arbitrary time. Check
  // stopSent first: this stop would hide one sent before.
  bool survivesAStop() {
    if (m_pid <= 0 || kill(m_pid, SIGSTOP) != 0) return false;
    int status = 0;
    if (waitpid(m_pid, &status, WUNTRACED) != m_pid || !WIFSTOPPED(status)) {
      m_pid = 0;
      return false;
    }
    return kill(m_pid, SIGCONT) == 0;
  }
  static char stateOf(std::uint32_t pid) { return stateAt("/proc/" + std::to_string(pid) + "/stat"); }

  // True when the child is stopped or a stop signal waits for it. A signal is queued by the time
  // the call that sent it returns, so this tells at once, without waiting, whether one was sent:
  // the pending sets first, then the state, since a stop leaves the pending set as the child stops.
  bool stopSent() const {
    std::ifstream in("/proc/" + std::to_string(m_pid) + "/status");
    constexpr unsigned long long kStop = 1ull << (SIGSTOP - 1);
    bool pending = false;
    for (std::string line; std::getline(in, line);)
      if (line.starts_with("SigPnd:") || line.starts_with("ShdPnd:"))
        pending = pending || (std::stoull(line.substr(7), nullptr, 16) & kStop);
    return pending || state() == 'T';
  }

 private:
  static char stateAt(const std::string& statFile) {
    std::ifstream in(statFile);
    std::string line;
    std::getline(in, line);
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() ? line[close + 2] : '?';
  }

  int threadCount() const {
    int count = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc/" + std::to_string(m_pid) + "/task", error), end;
         !error && it != end; it.increment(error))
      ++count;
    return count;
  }

  bool everyThreadIs(char wanted) const {
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc/" + std::to_string(m_pid) + "/task", error), end;
         !error && it != end; it.increment(error))
      if (stateAt(it->path().string() + "/stat") != wanted) return false;
    return !error;
  }

  std::string image() const {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/" + std::to_string(m_pid) + "/exe", error).string();
  }

  // Waits for `condition` with a limit generous enough for a machine whose cores are all busy.
  template <typename Condition>
  static bool waitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  pid_t m_pid = 0;
};

}  // namespace halvik::testing_support
#endif
