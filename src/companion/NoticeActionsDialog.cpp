#include "companion/NoticeActionsDialog.h"

#include "core/Locations.h"

#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace halvik::companion {

std::optional<std::string> chooseNoticeAction(const BalloonNotice::Offer& offer) {
  QMessageBox dialog(QMessageBox::Warning, QString::fromUtf8(core::kProgramTitle),
                     QString::fromStdString(offer.summary), QMessageBox::NoButton);
  dialog.setObjectName(QStringLiteral("dlgNoticeActions"));
  dialog.setTextFormat(Qt::PlainText);
  dialog.setInformativeText(QString::fromStdString(offer.body));
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
  std::map<QAbstractButton*, std::string> keys;
  for (const auto& [key, caption] : offer.actions)
    keys[dialog.addButton(QString::fromStdString(caption), QMessageBox::AcceptRole)] = key;
  dialog.setEscapeButton(dialog.addButton(QStringLiteral("Fermer"), QMessageBox::RejectRole));
  dialog.exec();
  const auto chosen = keys.find(dialog.clickedButton());
  if (chosen == keys.end()) return std::nullopt;
  return chosen->second;
}

}  // namespace halvik::companion
