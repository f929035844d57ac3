#include "quarantine/SaveDialog.h"

#include "core/Locations.h"
#include "engine/SignatureDb.h"
#include "platform/Platform.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

namespace halvik::quarantine {

namespace {

// The bytes of `raw` once decoded for display and encoded again.
std::string shownBytes(const std::string& raw) {
  return QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(raw))).toStdString();
}

// The chosen path in bytes. The dialog shows the proposal decoded for display, and decoding
// loses bytes that are not valid text: when the user kept the proposed path, its raw bytes
// come back; when the user kept the proposed file name in another folder, the name's do.
std::string rawPath(const QString& chosen, const std::string& proposed) {
  std::string path = QFile::encodeName(chosen).toStdString();
  if (path == shownBytes(proposed)) return proposed;
  const std::string proposedName = engine::FileNameOf(proposed);
  const std::string shownName = engine::FileNameOf(path);
  if (shownName != shownBytes(proposedName)) return path;
  return path.substr(0, path.size() - shownName.size()) + proposedName;
}

}  // namespace

SaveDialog::SaveDialog(QWidget* owner) : QObject(owner), m_owner(owner) {
  choosePath = [this](const QString& title, const QString& proposedPath) {
    return QFileDialog::getSaveFileName(m_owner, title, proposedPath, QString(), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
  };
  confirmReplace = [this](const QString& path) {
    const QString question = tr("Le fichier « %1 » existe déjà.\nVoulez-vous le remplacer ?").arg(path);
    return QMessageBox::question(m_owner, QString::fromUtf8(core::kProgramTitle), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  };
}

std::optional<std::string> SaveDialog::ShowSave(const std::string& fileName) {
  QString proposed = QFile::decodeName(QByteArray::fromStdString(fileName));
  for (;;) {
    const QString chosen = choosePath(m_title, proposed);
    if (chosen.isEmpty()) return std::nullopt;
    std::string path = rawPath(chosen, fileName);
    if (!platform::fileAttributes(path) || confirmReplace(chosen)) return path;
    proposed = chosen;
  }
}

}  // namespace halvik::quarantine
