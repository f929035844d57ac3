#pragma once

#include <QObject>

class frmMain;
class QWidget;

// The scan page (page 1 of the main window): the scan modes and the scan driver.
class ScanPage : public QObject {
  Q_OBJECT

 public:
  ScanPage(frmMain& main, QWidget* frame);

 private:
  frmMain& m_main;
  QWidget* m_frame;
};
