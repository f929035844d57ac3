#pragma once

#include <QWidget>

class QComboBox;

namespace halvik::scan {

class FolderList;
}  // namespace halvik::scan

namespace halvik::widgets::Quillet {
class OrventoCmd;
}

namespace halvik::scan {

// The folder chooser of the custom scan: a drive list and a folder list. "&Ok" stores the
// folder the list has open in CustomScanFolder and logs it; "&Annuler" stores "(CANCEL)";
// the close box leaves CustomScanFolder as it was. Shown modeless, owned by the main window,
// and deleted when closed.
class frmDir : public QWidget {
  Q_OBJECT

 public:
  explicit frmDir(QWidget* owner = nullptr);

  QComboBox* Drive1 = nullptr;
  FolderList* Dir1 = nullptr;
  widgets::Quillet::OrventoCmd* Command1 = nullptr;
  widgets::Quillet::OrventoCmd* Command2 = nullptr;

 private:
  void fillDrives(const std::string& folder);
  void Drive1_Change(int index);
  void Command1_Click();
  void Command2_Click();
};

}  // namespace halvik::scan
