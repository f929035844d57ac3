#include "companion/CompanionPresenter.h"

#include "core/Settings.h"
#include "monitor/ProcessSelection.h"
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
  std::map<Identity, Notice> suspended;
  for (const monitor::SweepRow& row : rows) {
    if (row.action != process::ProcessCheck::kSuspended) continue;
    const Identity identity{row.processId, row.startTime};
    const auto known = m_notified.find(identity);
    suspended[identity] = known != m_notified.end()
                              ? known->second
                              : Notice{m_view.notifySuspended(row.status, row.imagePath), row.imagePath};
  }
  m_notified = std::move(suspended);
}

void CompanionPresenter::resumeChosen(std::uint32_t notice) {
  for (const auto& [identity, notified] : m_notified)
    if (notified.number == notice) {
      monitor::ResumeSelection(monitor::ProcessSelection{identity.first, notified.imagePath, identity.second});
      return;
    }
}

}  // namespace halvik::companion
