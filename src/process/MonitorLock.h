#pragma once

#include "platform/Platform.h"

#include <chrono>
#include <string>
#include <utility>

namespace halvik::process {

// The lock that keeps one active monitor per session: the main window's monitor holds it while it
// is switched on, the companion holds it for the length of each of its checks. A file in the
// user's runtime folder; the system drops the lock of a process that ends, however it ends.
class MonitorLock {
 public:
  // The lock file in core::runtimeFolder().
  MonitorLock();
  explicit MonitorLock(std::string path) : m_path(std::move(path)) {}

  static constexpr const char* kFileName = "orvento-halvik-monitor.lock";

  // Takes the lock when it is free, waiting up to `wait` for a holder to let it go (polling, so
  // a holder that never lets go costs at most `wait`). True when it is held afterwards.
  bool take(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  void release() { m_lock = platform::FileLock(); }
  bool held() const { return m_lock.held(); }

  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  platform::FileLock m_lock;
};

}  // namespace halvik::process
