#include "scan/frmDir.h"

#include "core/mMain.h"
#include "platform/Environment.h"
#include "platform/Platform.h"
#include "scan/FolderList.h"
#include "scan/ScanDriver.h"
#include "widgets/DisplayText.h"
#include "widgets/OrventoCmd.h"
#include "widgets/Twips.h"

#include <QComboBox>

#include <filesystem>
#include <system_error>

namespace halvik::scan {

namespace {
// The platform's current folder, where the folder list starts.
std::string currentFolder() {
  std::error_code error;
  const std::string folder = std::filesystem::current_path(error).string();
  return error ? std::string(1, platform::kSeparator) : folder;
}
}  // namespace

frmDir::frmDir(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("frmDir"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Selectionnez un répertoire..."));
  const double dpi = logicalDpiX();
  setFixedSize(widgets::twips::toPixels(4800, dpi), widgets::twips::toPixels(4560, dpi));
  Drive1 = widgets::twips::placed(new QComboBox(this), QStringLiteral("Drive1"), 120, 120, 4560, 315);
  Dir1 = widgets::twips::placed(new FolderList(this), QStringLiteral("Dir1"), 120, 540, 4560, 3240);
  Command1 = widgets::twips::placed(new widgets::Quillet::OrventoCmd(this), QStringLiteral("Command1"), 2040, 3960, 1260, 420);
  Command1->setCaption(QStringLiteral("&Ok"));
  Command1->setButtonType(1);
  Command2 = widgets::twips::placed(new widgets::Quillet::OrventoCmd(this), QStringLiteral("Command2"), 3420, 3960, 1260, 420);
  Command2->setCaption(QStringLiteral("&Annuler"));
  Command2->setButtonType(1);

  const std::string start = currentFolder();
  if (!Dir1->setPath(start)) Dir1->setPath(std::string(1, platform::kSeparator));
  fillDrives(Dir1->Path());
  connect(Drive1, &QComboBox::currentIndexChanged, this, &frmDir::Drive1_Change);
  connect(Command1, &widgets::Quillet::OrventoCmd::Click, this, &frmDir::Command1_Click);
  connect(Command2, &widgets::Quillet::OrventoCmd::Click, this, &frmDir::Command2_Click);
}

// The drives, with the one holding `folder` (the longest mount point above it) selected.
void frmDir::fillDrives(const std::string& folder) {
  int holding = -1;
  std::size_t longest = 0;
  for (const std::string& drive : platform::environment().drives()) {
    Drive1->addItem(widgets::displayText(drive),
                    QByteArray(drive.data(), static_cast<qsizetype>(drive.size())));
    const bool above = folder.compare(0, drive.size(), drive) == 0 &&
                       (drive.size() == 1 || folder.size() == drive.size() || folder[drive.size()] == platform::kSeparator);
    if (above && drive.size() >= longest) {
      longest = drive.size();
      holding = Drive1->count() - 1;
    }
  }
  Drive1->setCurrentIndex(holding);
}

void frmDir::Drive1_Change(int index) {
  if (index >= 0) Dir1->setPath(Drive1->itemData(index).toByteArray().toStdString());  // a drive that cannot be listed is ignored
}

void frmDir::Command1_Click() {
  scan::setCustomScanFolder(Dir1->Path());
  core::mMain::WriteLog(scan::CustomScanFolder() + " selected for custom scan");
  close();
}

void frmDir::Command2_Click() {
  scan::setCustomScanFolder(scan::kCancelledChoice);
  close();
}

}  // namespace halvik::scan
