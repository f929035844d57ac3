#pragma once

#include <QObject>

class frmMain;
class QWidget;

// The active monitor page (page 2 of the main window): the process list, its toggle,
// selection and termination, driven by the main window's tmrAdMonitor.
class MonitorPage : public QObject {
  Q_OBJECT

 public:
  MonitorPage(frmMain& main, QWidget* frame);

 private:
  frmMain& m_main;
  QWidget* m_frame;
};
