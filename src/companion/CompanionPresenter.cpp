#include "companion/CompanionPresenter.h"

#include "core/Settings.h"
#include "process/MonitorLock.h"
#include "process/ProcessCheck.h"

namespace halvik::companion {

CompanionPresenter::CompanionPresenter(CompanionView& view, ProcessSweep& sweep, process::MonitorLock& lock,
                                       Clock clock)
    : m_view(view), m_sweep(sweep), m_lock(lock), m_clock(std::move(clock)) {}

std::chrono::milliseconds CompanionPresenter::storedPeriod() { return core::settings::monitorPeriod(); }

std::chrono::milliseconds CompanionPresenter::wake() {
  const auto now = m_clock();
  if (!m_due || now >= *m_due) {
    const auto period = storedPeriod();
    m_due = now + period;
    check();
  }
  return std::chrono::ceil<std::chrono::milliseconds>(*m_due - now);
}

void CompanionPresenter::check() {
  if (!core::settings::onWhenOne(core::settings::Key::LoadAdMonitor)) {
    m_notified.clear();
    showState(MonitorState::Off);
    return;
  }
  // A lock that cannot be taken for another reason than its holder never pauses the check.
  if (!m_lock.take() && m_lock.heldElsewhere()) {
    showState(MonitorState::InMainWindow);
    return;
  }
  const std::vector<SweepRow> rows = m_sweep.run();
  m_lock.release();
  showState(MonitorState::On);
  noticeSuspensions(rows);
}

void CompanionPresenter::showState(MonitorState state) {
  if (m_state == state) return;
  m_state = state;
  m_view.showMonitorState(state);
}

// A process is notified the first time a check suspends it; identities of processes that are no
// longer listed as suspended are forgotten, so a new process reusing an identifier is new.
void CompanionPresenter::noticeSuspensions(const std::vector<SweepRow>& rows) {
  std::set<Identity> suspended;
  for (const SweepRow& row : rows) {
    if (row.action != process::ProcessCheck::kSuspended) continue;
    const Identity identity{row.processId, row.startTime};
    suspended.insert(identity);
    if (!m_notified.contains(identity)) m_view.notifySuspended(row.status, row.imagePath);
  }
  m_notified = std::move(suspended);
}

}  // namespace halvik::companion
