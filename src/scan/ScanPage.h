#pragma once

#include <QObject>
#include <QPointer>

#include <array>

class frmMain;
class frmDir;
class frmScan;
class QLabel;
class QRadioButton;
class QWidget;
namespace Quillet {
class OrventoCmd;
class OrventoFrm;
}  // namespace Quillet

// The scan page (page 1 of the main window): the three scan modes and "Suivant", the scan
// driver. Each click of "Suivant" runs a whole scan, yielding to the event loop as it walks.
class ScanPage : public QObject {
  Q_OBJECT

 public:
  ScanPage(frmMain& main, QWidget* frame);

  // The results window of the latest scan (null before the first scan or once it is gone).
  frmScan* results() const;
  // The folder chooser while it is open.
  frmDir* folderChooser() const;

  QLabel* Label23 = nullptr;
  QLabel* Label2 = nullptr;
  Quillet::OrventoFrm* Frame1 = nullptr;
  std::array<QRadioButton*, 3> optScanMODE{};
  Quillet::OrventoCmd* lblNextBack = nullptr;

 private:
  void optScanMODE_Click(int index);
  void lblNextBack_Click();
  frmScan* reopenResults();

  frmMain& m_main;
  QWidget* m_frame;
  QPointer<frmScan> m_results;
  QPointer<frmDir> m_chooser;
};
