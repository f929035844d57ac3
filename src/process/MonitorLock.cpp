#include "process/MonitorLock.h"

#include "core/Locations.h"
#include "core/mMain.h"

#include <thread>

namespace halvik::process {

MonitorLock::MonitorLock() : m_path(core::runtimeFile(kFileName)) {}

bool MonitorLock::take(std::chrono::milliseconds wait) {
  if (held()) return true;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    m_lock = platform::FileLock::tryTake(m_path);
    if (held() || !heldElsewhere()) break;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  logFailure();
  return held();
}

void MonitorLock::logFailure() {
  const std::uint32_t failure = held() ? 0 : m_lock.status().code();
  if (failure != 0 && failure != m_loggedFailure)
    core::mMain::WriteLog("The monitor lock " + m_path + " could not be taken: " + m_lock.status().text());
  m_loggedFailure = failure;
}

}  // namespace halvik::process
