#include "monitor/ActiveMonitor.h"

#include "process/MonitorLock.h"

namespace halvik::monitor {

namespace {
// Why the rows are those of the last check: another monitor holds the lock.
constexpr const char* kHeldElsewhere =
    "Un autre moniteur actif (une autre fen\u00EAtre ou le compagnon) v\u00E9rifie les processus : "
    "la liste montre la derni\u00E8re v\u00E9rification de cette fen\u00EAtre.";
}  // namespace

ActiveMonitor::ActiveMonitor(MonitorTimer& timer, ProcessSweep& sweep, process::MonitorLock& lock, Hold hold)
    : m_timer(timer), m_sweep(sweep), m_lock(lock), m_hold(hold) {}

void ActiveMonitor::switchOn() {
  m_timer.start();
  m_status = MonitorStatus::On;
  if (m_hold == Hold::WhileOn) m_lock.take();  // held by another: taken at a later check
}

void ActiveMonitor::switchOff() {
  m_timer.stop();
  m_status = MonitorStatus::Off;
  m_lock.release();
}

bool ActiveMonitor::check() {
  if (!m_lock.take() && m_lock.heldElsewhere()) {
    m_status = MonitorStatus::HeldElsewhere;
    m_reason = kHeldElsewhere;
    return false;
  }
  m_rows = m_sweep.run();
  m_reason.clear();
  m_status = on() ? MonitorStatus::On : MonitorStatus::Off;
  if (m_hold == Hold::DuringCheck || !on()) m_lock.release();
  return true;
}

}  // namespace halvik::monitor
