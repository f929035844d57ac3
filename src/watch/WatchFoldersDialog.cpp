#include "watch/WatchFoldersDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace halvik::watch {

WatchFoldersDialog::WatchFoldersDialog(QWidget* parent)
    : QDialog(parent),
      lstFolders(new QListWidget(this)),
      chkWatchFiles(new QCheckBox(QStringLiteral("Surveillance des fichiers"), this)),
      chkAutoQuarantine(new QCheckBox(QStringLiteral("Quarantaine automatique"), this)) {
  setWindowTitle(QStringLiteral("Dossiers surveill\u00E9s"));
  lstFolders->setObjectName(QStringLiteral("lstFolders"));
  chkWatchFiles->setObjectName(QStringLiteral("chkWatchFiles"));
  chkAutoQuarantine->setObjectName(QStringLiteral("chkAutoQuarantine"));
  auto* add = new QPushButton(QStringLiteral("Ajouter..."), this);
  auto* remove = new QPushButton(QStringLiteral("Retirer"), this);
  add->setObjectName(QStringLiteral("cmdAdd"));
  remove->setObjectName(QStringLiteral("cmdRemove"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));

  auto* folderButtons = new QHBoxLayout;
  folderButtons->addWidget(add);
  folderButtons->addWidget(remove);
  folderButtons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lstFolders);
  layout->addLayout(folderButtons);
  layout->addWidget(chkWatchFiles);
  layout->addWidget(chkAutoQuarantine);
  layout->addWidget(buttons);
  resize(520, 360);

  connect(add, &QPushButton::clicked, this, [this] { m_presenter.addFolder(); });
  connect(remove, &QPushButton::clicked, this, [this] { m_presenter.removeFolder(); });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    m_presenter.save();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  m_presenter.load();
}

void WatchFoldersDialog::showFolders(const std::vector<std::string>& folders) {
  lstFolders->clear();
  for (const std::string& folder : folders) lstFolders->addItem(QFile::decodeName(QByteArray::fromStdString(folder)));
}

std::vector<std::string> WatchFoldersDialog::folders() const {
  std::vector<std::string> result;
  for (int row = 0; row < lstFolders->count(); ++row)
    result.push_back(QFile::encodeName(lstFolders->item(row)->text()).toStdString());
  return result;
}

int WatchFoldersDialog::selectedFolder() const { return lstFolders->currentRow(); }

void WatchFoldersDialog::showSwitches(bool watchFiles, bool autoQuarantine) {
  chkWatchFiles->setChecked(watchFiles);
  chkAutoQuarantine->setChecked(autoQuarantine);
}

bool WatchFoldersDialog::watchFiles() const { return chkWatchFiles->isChecked(); }

bool WatchFoldersDialog::autoQuarantine() const { return chkAutoQuarantine->isChecked(); }

std::optional<std::string> WatchFoldersDialog::chooseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Ajouter un dossier"));
  if (folder.isEmpty()) return std::nullopt;
  return QFile::encodeName(folder).toStdString();
}

}  // namespace halvik::watch
