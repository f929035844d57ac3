#pragma once

#include "platform/Platform.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

namespace halvik::process {

// The lock that keeps one active monitor per session: the main window's monitor holds it while it
// is switched on, the companion holds it for the length of each of its checks. A file in the
// user's private runtime folder; the system drops the lock of a process that ends, however it ends.
class MonitorLock {
 public:
  // The lock file in core::runtimeFolder().
  MonitorLock();
  explicit MonitorLock(std::string path) : m_path(std::move(path)) {}

  static constexpr const char* kFileName = "orvento-halvik-monitor.lock";

  // Takes the lock when it is free, waiting up to `wait` for a holder to let it go (polling, so
  // a holder that never lets go costs at most `wait`). True when it is held afterwards. A failure
  // other than another holder is logged with the system's reason (once until the reason changes).
  bool take(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  void release() { m_lock = platform::FileLock(); }
  bool held() const { return m_lock.held(); }
  // True when the lock is not held because another holder has it; false when it is held or
  // could not be taken for another reason (which never means that another monitor runs).
  bool heldElsewhere() const { return !held() && m_lock.status().code() == platform::kLockHeldElsewhere; }

  const std::string& path() const { return m_path; }

 private:
  void logFailure();

  std::string m_path;
  platform::FileLock m_lock;
  std::uint32_t m_loggedFailure = 0;
};

}  // namespace halvik::process
