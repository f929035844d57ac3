#include "monitor/MonitorPresenter.h"

#include <chrono>

namespace halvik::monitor {

namespace {
// How long a refresh or a switch waits for the companion to finish a check under the lock.
constexpr std::chrono::milliseconds kLockWait(1000);
}  // namespace

void MonitorPresenter::refresh() {
  if (!m_lock.take(kLockWait) && m_lock.heldElsewhere()) return;
  m_view.rebuildProcessList();
  if (!m_monitor.monitorOn()) m_lock.release();
}

void MonitorPresenter::followMonitorState() {
  if (m_monitor.monitorOn())
    m_lock.take(kLockWait);
  else
    m_lock.release();
}

void MonitorPresenter::toggle() {
  if (m_monitor.monitorOn())
    m_monitor.stopMonitor();
  else
    m_monitor.startMonitor();
  followMonitorState();
  const bool on = m_monitor.monitorOn();
  m_view.showSwitchCaption(on ? "D\u00E9sactiv\u00E9" : "Activ\u00E9");
  m_monitor.showMonitorState(on ? "Charg\u00E9" : "Non Charg\u00E9", on);
}

void MonitorPresenter::select(const ProcessSelection& selection) {
  m_selection = selection;
  m_view.showSelection(selection);
}

void MonitorPresenter::terminate() {
  if (m_selection) TerminateSelection(*m_selection);
}

}  // namespace halvik::monitor
