#include "companion/CompanionPresenter.h"

#include "core/Settings.h"
#include "process/ProcessCheck.h"

namespace halvik::companion {

CompanionPresenter::CompanionPresenter(CompanionView& view, monitor::ProcessSweep& sweep, process::MonitorLock& lock,
                                       Clock clock)
    : m_view(view),
      m_clock(std::move(clock)),
      m_monitor(*this, sweep, lock, monitor::ActiveMonitor::Hold::DuringCheck) {}

std::chrono::milliseconds CompanionPresenter::storedPeriod() { return core::settings::monitorPeriod(); }

std::chrono::milliseconds CompanionPresenter::wake() {
  const auto now = m_clock();
  if (!m_due || now >= *m_due) {
    m_monitor.setPeriod(storedPeriod());
    m_due = now + m_monitor.period();
    check();
  }
  return std::chrono::ceil<std::chrono::milliseconds>(*m_due - now);
}

void CompanionPresenter::check() {
  if (core::settings::onWhenOne(core::settings::Key::LoadAdMonitor)) {
    m_monitor.switchOn();
    m_monitor.check();
  } else {
    m_monitor.switchOff();
  }
  switch (m_monitor.status()) {
    case monitor::MonitorStatus::Off:
      m_notified.clear();
      showState(MonitorState::Off);
      break;
    case monitor::MonitorStatus::HeldElsewhere: showState(MonitorState::InMainWindow); break;
    case monitor::MonitorStatus::On:
      showState(MonitorState::On);
      noticeSuspensions(m_monitor.rows());
      break;
  }
}

void CompanionPresenter::showState(MonitorState state) {
  if (m_state == state) return;
  m_state = state;
  m_view.showMonitorState(state);
}

// A process is notified the first time a check suspends it; identities of processes that are no
// longer listed as suspended are forgotten, so a new process reusing an identifier is new.
void CompanionPresenter::noticeSuspensions(const std::vector<monitor::SweepRow>& rows) {
  std::set<Identity> suspended;
  for (const monitor::SweepRow& row : rows) {
    if (row.action != process::ProcessCheck::kSuspended) continue;
    const Identity identity{row.processId, row.startTime};
    suspended.insert(identity);
    if (!m_notified.contains(identity)) m_view.notifySuspended(row.status, row.imagePath);
  }
  m_notified = std::move(suspended);
}

}  // namespace halvik::companion
