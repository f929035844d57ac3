#include "process/MonitorLock.h"

#include "core/Locations.h"

#include <thread>

namespace halvik::process {

MonitorLock::MonitorLock() : m_path(core::runtimeFile(kFileName)) {}

bool MonitorLock::take(std::chrono::milliseconds wait) {
  if (held()) return true;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    m_lock = platform::FileLock::tryTake(m_path);
    if (held() || std::chrono::steady_clock::now() >= deadline) return held();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace halvik::process
