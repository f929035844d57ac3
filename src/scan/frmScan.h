#pragma once

#include "engine/ScanHit.h"
#include "scan/ScanPresenter.h"

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace halvik::widgets {
class ActionLabel;
}

namespace halvik::widgets::Quillet {
class OrventoFrm;
}

namespace halvik::scan {

// The scan results window: the progress panel Picture1 while a scan runs, then the results
// panel Picture2 with the list of found objects and the repair pass. A fresh instance serves
// each scan, modeless and owned by the main window; it is the scan's ScanView.
class frmScan : public QWidget, public ScanView {
  Q_OBJECT

 public:
  explicit frmScan(QWidget* owner = nullptr);

  // Shown while the window and its owner are shown.
  bool visible() const override;
  // The walk closes a window it finds hidden: QWidget::close, whose result it has no use for.
  void close() override;
  void setCurFile(const std::string& path) override;
  void setObjectsScanned(const std::string& count) override;
  void setMaliciousObjects(const std::string& count) override;
  // Adds a ticked row with image 1: the threat name, the path shown as text and kept as raw
  // bytes, and what the walk saw of the entry, kept for the repair.
  void addHit(const engine::mScanFiles::Hit& hit) override;
  void clearResults() override;
  // The entries of the drive list, as raw bytes.
  std::vector<std::string> drives() const override;
  void setOperation(const std::string& text) override;
  void finishResults() override;
  void yield() override;

  // A row's hit, the raw bytes of its path, its image number and whether its box is ticked.
  engine::mScanFiles::Hit rowHit(int row) const;
  std::string rowPath(int row) const;
  int rowImage(int row) const;
  void setRowImage(int row, int image);
  bool rowChecked(int row) const;

  // The image list of the result list: six 16 x 16 pictures, silver drawn as transparent.
  std::array<QPixmap, 6> ilListview;
  QComboBox* Drive = nullptr;

  widgets::Quillet::OrventoFrm* Picture1 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* lblOperation = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* lblObjectsScanned = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* lblCurFile = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* lblProcesses = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* lblMaliciousProcess = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* lblMaliciousObjects = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* lblObjectsIgnored = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* lblMaliciousRegistry = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label13 = nullptr;
  widgets::ActionLabel* lblGoAbort = nullptr;
  widgets::ActionLabel* lblGoFix = nullptr;
  QFrame* Line1 = nullptr;
  QFrame* Line2 = nullptr;
  QFrame* Line4 = nullptr;
  QFrame* Line5 = nullptr;

  widgets::Quillet::OrventoFrm* Picture2 = nullptr;
  QLabel* Label36 = nullptr;
  QTreeWidget* lvScan = nullptr;  // its dynamic property "Tag" is the list's tag text
  QLabel* Label16 = nullptr;
  widgets::ActionLabel* Label14 = nullptr;
  QFrame* Line6 = nullptr;
  QFrame* Line7 = nullptr;

 signals:
  // The repair pass removed a file: the new total of removed objects.
  void ObjectsRemoved(const QString& total);
  // The repair pass has ended (the quarantine may hold new files).
  void RepairDone();

 private:
  void buildProgressPanel();
  void buildResultsPanel();
  void addCheckAction(const QString& objectName, const QString& caption, Qt::CheckState state);
  void fillDrives();
  QTreeWidgetItem* row(int index) const;

  void lblGoAbort_Click();
  void lblGoFix_Click();
  void Label14_Click();
};

}  // namespace halvik::scan
