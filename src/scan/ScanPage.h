#pragma once

#include "core/StatusCounters.h"
#include "scan/ScanPresenter.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <deque>
#include <string>
#include <vector>

class QLabel;
class QRadioButton;
class QWidget;

namespace halvik::scan {

class frmDir;
class frmScan;
}  // namespace halvik::scan

namespace halvik::widgets::Quillet {
class OrventoCmd;
class OrventoFrm;
}  // namespace halvik::widgets::Quillet

namespace halvik::scan {

// The scan page (page 1 of the main window): the three scan modes and "Suivant". Each click of
// "Suivant" runs a whole scan (ScanPresenter), yielding to the event loop as it walks. The
// results windows and the folder chooser belong to `owner`, the main window; the scan counts go
// to its status page.
class ScanPage : public QObject {
  Q_OBJECT

 public:
  ScanPage(QWidget* owner, core::StatusCounters& status, QWidget* frame);

  // The results window of the latest scan (null before the first scan or once it is gone).
  frmScan* results() const;
  // The folder chooser while it is open.
  frmDir* folderChooser() const;

  // Custom scans of `folders` in turn (what opening folders with the program asks for): the
  // first starts at once, each next one when the results window of the one before is closed
  // or hidden. A scan the user starts with "Suivant" meanwhile drops the folders not yet scanned.
  void scanFolders(const std::vector<std::string>& folders);
  // The same for folders that arrive later (a second start of the program): they join the end
  // of the queue, and start at once when no scan is queued and no results window is shown.
  void addFolders(const std::vector<std::string>& folders);

  QLabel* Label23 = nullptr;
  QLabel* Label2 = nullptr;
  widgets::Quillet::OrventoFrm* Frame1 = nullptr;
  std::array<QRadioButton*, 3> optScanMODE{};
  widgets::Quillet::OrventoCmd* lblNextBack = nullptr;

 private:
  void optScanMODE_Click(int index);
  void lblNextBack_Click();
  void runScan(scan::ScanMode mode);
  void scanNextFolder();
  frmScan* reopenResults();
  bool eventFilter(QObject* watched, QEvent* event) override;

  QWidget* m_owner;
  core::StatusCounters& m_status;
  QPointer<frmScan> m_results;
  QPointer<frmDir> m_chooser;
  std::deque<std::string> m_pendingFolders;
};

}  // namespace halvik::scan
