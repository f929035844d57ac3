#include "monitor/MonitorPresenter.h"

namespace halvik::monitor {

void MonitorPresenter::refresh() {
  const bool checked = m_monitor.check();
  m_view.showListNote(m_monitor.reason());
  if (checked) m_view.showRows(m_monitor.rows());
}

void MonitorPresenter::toggle() {
  if (m_monitor.on())
    m_monitor.switchOff();
  else
    m_monitor.switchOn();
  const bool on = m_monitor.on();
  m_view.showSwitchCaption(on ? "D\u00E9sactiv\u00E9" : "Activ\u00E9");
  m_view.showMonitorState(on ? "Charg\u00E9" : "Non Charg\u00E9", on);
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
