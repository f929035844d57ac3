#pragma once

#include <sys/types.h>

// Process file descriptors (pidfds): a descriptor that names one process for as long as it is
// held, whatever identifier the system hands out later. Called through syscall(), since older C
// libraries have no wrappers.
namespace halvik::platform::posix {

// A pidfd for the process `processId` names now; -1 with errno set otherwise (ESRCH when no such
// process; ENOSYS where the system has no pidfds).
int pidfdOpen(pid_t processId);

// True when `errno` after a failed pidfdOpen says that pidfds are missing, rather than the process:
// ENOSYS on kernels before 5.3, EPERM where a seccomp filter blocks the call (the call itself never
// refuses for want of rights).
bool pidfdsMissing(int error);

// Sends `signal` to the process of `pidfd`. False when it has ended, or the signal is refused.
bool pidfdSendSignal(int pidfd, int signal);

// True once the process of `pidfd` has ended, reaped by its parent or not.
bool pidfdEnded(int pidfd);

// Makes pidfdOpen fail with ENOSYS, as on a system without pidfds (false: the system's own again),
// so that the path taken there can be tried anywhere.
void simulateMissingPidfds(bool missing);

}  // namespace halvik::platform::posix
