#pragma once

#include "monitor/ProcessSelection.h"
#include "process/MonitorLock.h"

#include <QObject>

#include <optional>

class QFrame;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace halvik::ui {
class frmMain;
}
namespace halvik::widgets {
class ActionLabel;
}

namespace halvik::widgets::Quillet {
class OrventoCmd;
}

namespace halvik::monitor {

// The active monitor page (page 2 of the main window): the process list, its toggle,
// selection and termination, driven by the main window's tmrAdMonitor.
class MonitorPage : public QObject {
  Q_OBJECT

 public:
  // Item data of a row of lvProcesses: the raw bytes of the image path, the process identifier
  // (the row's tag) and the start time it was listed with.
  static constexpr int kPathRole = 0x0100;  // Qt::UserRole
  static constexpr int kProcessIdRole = kPathRole + 1;
  static constexpr int kStartTimeRole = kPathRole + 2;

  MonitorPage(ui::frmMain& main, QWidget* frame);
  ~MonitorPage() override;

  // Rebuilds lvProcesses: every tick of tmrAdMonitor runs it. Only under the session's monitor
  // lock: while the companion runs a check of its own, the refresh waits for it (a second at most,
  // then this tick is skipped).
  void RefreshProcessList();

  // Holds the session's monitor lock while tmrAdMonitor runs, and lets it go when it stops, so
  // that the companion's checks pause meanwhile. Called whenever the monitor is switched.
  void followMonitorState();

  // The process last clicked in the list; none until a row is clicked.
  const std::optional<ProcessSelection>& selection() const { return m_selection; }

  QLabel* Label10 = nullptr;
  QFrame* Line3 = nullptr;
  QLabel* Label8 = nullptr;
  widgets::ActionLabel* lblGoSettings = nullptr;
  widgets::ActionLabel* lblEnableMonitor = nullptr;
  QTreeWidget* lvProcesses = nullptr;
  QLabel* lblProcessName = nullptr;  // caption: the selected path; property "Tag": its identifier
  widgets::Quillet::OrventoCmd* Command1 = nullptr;

 private:
  void buildControls();
  void lblEnableMonitor_Click();
  void lvProcesses_ItemClick(QTreeWidgetItem* item);
  void Command1_Click();

  ui::frmMain& m_main;
  QWidget* m_frame;
  std::optional<ProcessSelection> m_selection;
  process::MonitorLock m_lock;
};

}  // namespace halvik::monitor
