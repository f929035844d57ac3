#pragma once

#include "monitor/ActiveMonitor.h"
#include "monitor/MonitorPresenter.h"
#include "monitor/MonitorSweep.h"
#include "process/MonitorLock.h"

#include <QObject>

#include <optional>

class QAction;
class QFrame;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace halvik::widgets {
class ActionLabel;
}

namespace halvik::widgets::Quillet {
class OrventoCmd;
}

namespace halvik::monitor {

// The active monitor page (page 2 of the main window): the process list, its toggle,
// selection, termination and resumption (MonitorPresenter) over the window's active monitor,
// driven by the main window's tmrAdMonitor through `timer`. `owner`, the main window, owns the
// refusal message.
class MonitorPage : public QObject, private MonitorView {
  Q_OBJECT

 public:
  // Item data of a row of lvProcesses: the raw bytes of the image path, the process identifier
  // (the row's tag) and the start time it was listed with.
  static constexpr int kPathRole = 0x0100;  // Qt::UserRole
  static constexpr int kProcessIdRole = kPathRole + 1;
  static constexpr int kStartTimeRole = kPathRole + 2;

  MonitorPage(QWidget* owner, MonitorTimer& timer, QWidget* frame);
  ~MonitorPage() override;

  // One check of the monitor, shown in lvProcesses (MonitorPresenter::refresh): the main window
  // connects every tick of tmrAdMonitor to it.
  void RefreshProcessList() { m_logic.refresh(); }

  // Switches the monitor on without a click (the main window's start-up).
  void switchMonitorOn() { m_monitor.switchOn(); }

  // The process last highlighted in the list (by a click or the keyboard); none until then.
  const std::optional<ProcessSelection>& selection() const { return m_logic.selection(); }

  QLabel* Label10 = nullptr;
  QFrame* Line3 = nullptr;
  QLabel* Label8 = nullptr;
  widgets::ActionLabel* lblGoSettings = nullptr;
  widgets::ActionLabel* lblEnableMonitor = nullptr;
  QTreeWidget* lvProcesses = nullptr;
  QLabel* lblProcessName = nullptr;  // caption: the selected path; property "Tag": its identifier
  widgets::Quillet::OrventoCmd* Command1 = nullptr;
  QAction* actReprendre = nullptr;  // the list's context menu: resumes the highlighted process

 signals:
  // "Configuration" was clicked: the settings dialog is wanted.
  void settingsRequested();
  // The monitor's line of the status page: `caption`, in black when `on`, in red otherwise.
  void monitorStateChanged(const QString& caption, bool on);

 private:
  void buildControls();
  void lvProcesses_ItemClick(QTreeWidgetItem* item);
  void highlightSelection();

  void showSwitchCaption(const std::string& caption) override;
  void showSelection(const ProcessSelection& selection) override;
  void showRows(const std::vector<SweepRow>& rows) override;
  void showListNote(const std::string& note) override;
  void showMonitorState(const std::string& caption, bool on) override;

  QWidget* m_frame;
  MonitorSweep m_sweep;
  process::MonitorLock m_lock;
  ActiveMonitor m_monitor;
  MonitorPresenter m_logic;
};

}  // namespace halvik::monitor
