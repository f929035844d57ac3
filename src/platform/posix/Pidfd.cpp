#include "platform/posix/Pidfd.h"

#include <atomic>
#include <cerrno>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace halvik::platform::posix {
namespace {
std::atomic<bool> simulatedMissing{false};
}  // namespace

int pidfdOpen(pid_t processId) {
  if (simulatedMissing) {
    errno = ENOSYS;
    return -1;
  }
  const long fd = syscall(SYS_pidfd_open, processId, 0);
  if (fd < 0) return -1;
  // The kernel sets close-on-exec on every pidfd.
  return static_cast<int>(fd);
}

bool pidfdsMissing(int error) { return error == ENOSYS || error == EPERM; }

bool pidfdSendSignal(int pidfd, int signal) { return syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0) == 0; }

bool pidfdEnded(int pidfd) {
  // A pidfd becomes readable when its process ends.
  pollfd watched{pidfd, POLLIN, 0};
  return poll(&watched, 1, 0) != 0;
}

void simulateMissingPidfds(bool missing) { simulatedMissing = missing; }

}  // namespace halvik::platform::posix
