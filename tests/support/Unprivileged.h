#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <initializer_list>

#ifndef _WIN32
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace halvik::testing_support {

#ifndef _WIN32
// Runs `check` in a child process that has dropped root's rights to read, search and write any
// folder, so that folder permissions apply to it as to any user, and the `others` of its rights
// too; true when `check` returned true.
inline bool inProcessWithoutOverrides(const std::function<bool()>& check, std::initializer_list<int> others = {}) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) _exit(2);
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
      data[0].effective &= ~(1u << capability);
    for (const int capability : others) data[0].effective &= ~(1u << capability);
    if (syscall(SYS_capset, &header, data) != 0) _exit(2);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

#endif

// Runs `body`, the assertions of a test about permission bits, so that the bits hold for it: as
// root (CI runs as root) in a child process that has dropped root's rights to override them;
// otherwise, and on Windows, in this process. The child's failures are printed as they happen
// and fail the test.
inline void withoutRootOverrides(const std::function<void()>& body,
                                 [[maybe_unused]] std::initializer_list<int> others = {}) {
#ifndef _WIN32
  if (::geteuid() == 0) {
    std::fflush(stdout);
    EXPECT_TRUE(inProcessWithoutOverrides(
        [&] {
          body();
          std::fflush(stdout);
          return !::testing::Test::HasFailure();
        },
        others))
        << "the part run without root's overrides failed (see above)";
    return;
  }
#endif
  body();
}

#ifndef _WIN32
// Runs `body` as a user would run it: as root, in a child that has also dropped the right to
// administer the system (CAP_SYS_ADMIN), so that what only root may do (a watch of whole file
// systems) is refused to it.
inline void asAUser(const std::function<void()>& body) { withoutRootOverrides(body, {CAP_SYS_ADMIN}); }
#endif

}  // namespace halvik::testing_support
