#pragma once

#include "monitor/ActiveMonitor.h"
#include "monitor/ProcessSelection.h"

#include <optional>
#include <string>
#include <vector>

namespace halvik::monitor {

// The controls of the monitor page that the switch, the selection and the refresh use.
class MonitorView {
 public:
  virtual ~MonitorView() = default;

  virtual void showSwitchCaption(const std::string& caption) = 0;  // lblEnableMonitor (UTF-8)
  // lblProcessName: the selected path as its caption, the process identifier as its tag.
  virtual void showSelection(const ProcessSelection& selection) = 0;
  // Rebuilds lvProcesses from the rows of the monitor's check.
  virtual void showRows(const std::vector<SweepRow>& rows) = 0;
  // lvProcesses's tooltip: why the list shows the rows of an earlier check; empty when it does not.
  virtual void showListNote(const std::string& note) = 0;
  // The monitor's line of the status page: `caption` (UTF-8), in black when `on`, in red otherwise.
  virtual void showMonitorState(const std::string& caption, bool on) = 0;
};

// The active monitor page: switching the window's active monitor on and off, showing its checks,
// the selection, "Terminer" and "Reprendre". Nothing here asks for a confirmation.
class MonitorPresenter {
 public:
  MonitorPresenter(MonitorView& view, ActiveMonitor& monitor) : m_view(view), m_monitor(monitor) {}

  // A tick of the monitor: one check (ActiveMonitor::check), shown in the list. While another
  // monitor (the companion, another window) holds the lock the tick never waits: the list keeps
  // the rows of its last check and its tooltip says why.
  void refresh();

  // A click of lblEnableMonitor: switches the monitor to the opposite state and shows it on the
  // toggle ("Désactivé" when on, "Activé" when off) and on the status page ("Chargé" in black,
  // "Non Chargé" in red). The stored "LoadAdMonitor" setting and the list stay as they are.
  void toggle();

  // A click on a row: the process it listed becomes the selection.
  void select(const ProcessSelection& selection);

  // "Terminer": the selection's process (see TerminateSelection); nothing while no row has
  // been clicked since start-up.
  void terminate();

  // "Reprendre": the selection's process (see ResumeSelection); nothing while none is selected.
  void resume();

  // The process last clicked in the list; none until a row is clicked.
  const std::optional<ProcessSelection>& selection() const { return m_selection; }

 private:
  MonitorView& m_view;
  ActiveMonitor& m_monitor;
  std::optional<ProcessSelection> m_selection;
};

}  // namespace halvik::monitor
