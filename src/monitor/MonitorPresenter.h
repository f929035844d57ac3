#pragma once

#include "core/MonitorSwitch.h"
#include "monitor/ProcessSelection.h"
#include "process/MonitorLock.h"

#include <optional>
#include <string>

namespace halvik::monitor {

// The controls of the monitor page that the switch, the selection and the refresh use.
class MonitorView {
 public:
  virtual ~MonitorView() = default;

  virtual void showSwitchCaption(const std::string& caption) = 0;  // lblEnableMonitor (UTF-8)
  // lblProcessName: the selected path as its caption, the process identifier as its tag.
  virtual void showSelection(const ProcessSelection& selection) = 0;
  // Rebuilds lvProcesses from the running processes, each row through the running-process check.
  virtual void rebuildProcessList() = 0;
  // lvProcesses's tooltip: why the list shows the rows of an earlier check; empty when it does not.
  virtual void showListNote(const std::string& note) = 0;
};

// The active monitor page: switching the monitor on and off, the session's monitor lock that
// it holds while on, the refresh under that lock, the selection and "Terminer". Nothing here
// asks for a confirmation.
class MonitorPresenter {
 public:
  MonitorPresenter(MonitorView& view, core::MonitorSwitch& monitor) : m_view(view), m_monitor(monitor) {}

  // A tick of the monitor: rebuilds the list, but only under the monitor lock. While another
  // monitor (the companion, another window) holds it the tick never waits: the list keeps its
  // rows and its tooltip says why; a refresh with the monitor off lets the lock go again at once.
  void refresh();

  // Holds the monitor lock while the monitor is on and lets it go when it is off, so that the
  // companion's checks pause meanwhile. Runs whenever the monitor is switched.
  void followMonitorState();

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
  core::MonitorSwitch& m_monitor;
  std::optional<ProcessSelection> m_selection;
  process::MonitorLock m_lock;
};

}  // namespace halvik::monitor
