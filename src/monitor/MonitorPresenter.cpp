#include "monitor/MonitorPresenter.h"

namespace halvik::monitor {

namespace {
// Why the list shows the rows of its last check: another monitor holds the lock.
constexpr const char* kHeldElsewhere =
    "Un autre moniteur actif (une autre fen\u00EAtre ou le compagnon) v\u00E9rifie les processus : "
    "la liste montre la derni\u00E8re v\u00E9rification de cette fen\u00EAtre.";
}  // namespace

// The window never waits for the lock: while another monitor holds it, this tick only says so
// and the list keeps the rows of its last check.
void MonitorPresenter::refresh() {
  if (!m_lock.take() && m_lock.heldElsewhere()) {
    m_view.showListNote(kHeldElsewhere);
    return;
  }
  m_view.showListNote({});
  m_view.rebuildProcessList();
  if (!m_monitor.monitorOn()) m_lock.release();
}

void MonitorPresenter::followMonitorState() {
  if (m_monitor.monitorOn())
    m_lock.take();  // held by another: taken at a later tick
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

void MonitorPresenter::resume() {
  if (m_selection) ResumeSelection(*m_selection);
}

}  // namespace halvik::monitor
