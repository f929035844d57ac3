#pragma once

// A private PID namespace, where a test can give the identifier of an ended child to a new one.
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace halvik::testing_support {

// The exit code of a run whose namespace the system refused (no root, or a container without the right).
inline constexpr int kNoPidNamespace = 77;

// Runs `body` as the first process of a private PID namespace, with a /proc of its own in a
// private mount namespace, and returns its exit code. There identifiers are handed out from 1 and
// the next one can be chosen (setNextProcessId). Every process left in the namespace ends with it.
template <typename Body>
int exitCodeInPidNamespace(Body body) {
  const pid_t outer = fork();
  if (outer == 0) {
    if (unshare(CLONE_NEWPID | CLONE_NEWNS) != 0) _exit(kNoPidNamespace);
    const pid_t first = fork();
    if (first == 0) {
      if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0)
        _exit(kNoPidNamespace);
      _exit(body());
    }
    int status = 0;
    if (first < 0 || waitpid(first, &status, 0) != first) _exit(kNoPidNamespace);
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 126);
  }
  int status = 0;
  if (outer < 0 || waitpid(outer, &status, 0) != outer) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Inside such a namespace: the next process started gets `processId`, when it is free.
inline bool setNextProcessId(pid_t processId) {
  std::ofstream out("/proc/sys/kernel/ns_last_pid");
  out << processId - 1;
  out.flush();
  return out.good();
}

}  // namespace halvik::testing_support
