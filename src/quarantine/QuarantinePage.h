#pragma once

#include <QObject>

class frmMain;
class QWidget;

// The quarantine page (page 4 of the main window): the stored files, restore and delete.
class QuarantinePage : public QObject {
  Q_OBJECT

 public:
  QuarantinePage(frmMain& main, QWidget* frame);

  // Rebuilds the list from the quarantine folder (the main window calls it on entering the page).
  void fill();

 private:
  frmMain& m_main;
  QWidget* m_frame;
};
