#pragma once

#include "scan/DirPresenter.h"

#include <QWidget>

class QComboBox;

namespace halvik::scan {

class FolderList;
}  // namespace halvik::scan

namespace halvik::widgets::Quillet {
class OrventoCmd;
}

namespace halvik::scan {

// The folder chooser of the custom scan: a drive list and a folder list (DirPresenter). "&Ok"
// stores the folder the list has open in CustomScanFolder and logs it; "&Annuler" stores
// "(CANCEL)"; the close box leaves CustomScanFolder as it was. Shown modeless, owned by the main
// window, and deleted when closed.
class frmDir : public QWidget, private DirView {
  Q_OBJECT

 public:
  explicit frmDir(QWidget* owner = nullptr);

  QComboBox* Drive1 = nullptr;
  FolderList* Dir1 = nullptr;
  widgets::Quillet::OrventoCmd* Command1 = nullptr;
  widgets::Quillet::OrventoCmd* Command2 = nullptr;

 private:
  bool openFolder(const std::string& folder) override;
  std::string openedFolder() const override;
  void showDrives(const std::vector<std::string>& drives, int selected) override;
  void closeChooser() override;

  DirPresenter m_logic{*this};
};

}  // namespace halvik::scan
