#include "scan/frmDir.h"

#include "scan/FolderList.h"
#include "widgets/DisplayText.h"
#include "widgets/OrventoCmd.h"
#include "widgets/Twips.h"

#include <QComboBox>

namespace halvik::scan {

frmDir::frmDir(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("frmDir"));
  setAttribute(Qt::WA_DeleteOnClose);
  // "Selectionnez" without its accent, as the folder chooser has always been titled: kept unchanged.
  setWindowTitle(QStringLiteral("Selectionnez un répertoire..."));
  const double dpi = logicalDpiX();
  setFixedSize(widgets::twips::toPixels(4800, dpi), widgets::twips::toPixels(4560, dpi));
  Drive1 = widgets::twips::placed(new QComboBox(this), QStringLiteral("Drive1"), 120, 120, 4560, 315);
  Dir1 = widgets::twips::placed(new FolderList(this), QStringLiteral("Dir1"), 120, 540, 4560, 3240);
  Command1 =
      widgets::twips::placed(new widgets::Quillet::OrventoCmd(this), QStringLiteral("Command1"), 2040, 3960, 1260, 420);
  Command1->setCaption(QStringLiteral("&Ok"));
  Command1->setButtonType(1);
  Command2 =
      widgets::twips::placed(new widgets::Quillet::OrventoCmd(this), QStringLiteral("Command2"), 3420, 3960, 1260, 420);
  Command2->setCaption(QStringLiteral("&Annuler"));
  Command2->setButtonType(1);

  m_logic.open();
  connect(Drive1, &QComboBox::currentIndexChanged, this, [this](int index) { m_logic.driveChosen(index); });
  connect(Command1, &widgets::Quillet::OrventoCmd::Click, this, [this] { m_logic.accept(); });
  connect(Command2, &widgets::Quillet::OrventoCmd::Click, this, [this] { m_logic.cancel(); });
}

bool frmDir::openFolder(const std::string& folder) { return Dir1->setPath(folder); }
std::string frmDir::openedFolder() const { return Dir1->Path(); }
void frmDir::closeChooser() { close(); }

void frmDir::showDrives(const std::vector<std::string>& drives, int selected) {
  for (const std::string& drive : drives)
    Drive1->addItem(widgets::displayText(drive), QByteArray(drive.data(), static_cast<qsizetype>(drive.size())));
  Drive1->setCurrentIndex(selected);
}

}  // namespace halvik::scan
