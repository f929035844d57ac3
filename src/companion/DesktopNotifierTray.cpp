// Windows: notifications as the tray icon's balloon. A click on a balloon opens the program,
// or, for a notice with actions (which a balloon cannot show), offers them in a small dialog.
#include "companion/BalloonNotice.h"
#include "companion/DesktopNotifier.h"
#include "companion/NoticeActionsDialog.h"
#include "core/NoticeText.h"

#include <QPointer>
#include <QStringList>
#include <QSystemTrayIcon>

namespace halvik::companion {

namespace {
// A balloon shows plain text; a path still keeps to one line.
std::string asText(const QString& text) {
  return core::noticeText(text.toUtf8().toStdString(), core::NoticeMarkup::Plain);
}
}  // namespace

class DesktopNotifier::Backend {
 public:
  explicit Backend(QSystemTrayIcon& tray) : m_tray(tray) {}
  QSystemTrayIcon& m_tray;
  BalloonNotice m_balloon;
  bool m_choosing = false;  // the dialog of a notice's actions is open
};

DesktopNotifier::DesktopNotifier(QSystemTrayIcon& tray, QObject* parent)
    : QObject(parent), m_backend(std::make_unique<Backend>(tray)) {
  connect(&tray, &QSystemTrayIcon::messageClicked, this, [this] {
    if (m_backend->m_choosing) return;
    const auto offer = m_backend->m_balloon.clicked();
    if (!offer) {
      emit activated();
      return;
    }
    const QPointer<DesktopNotifier> alive(this);  // the companion may end while the dialog is open
    m_backend->m_choosing = true;
    const auto key = chooseNoticeAction(*offer);
    if (!alive) return;
    m_backend->m_choosing = false;
    if (key) emit actionChosen(offer->notice, QString::fromStdString(*key));
  });
}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::notify(const QString& summary, const QString& body) {
  m_backend->m_balloon.shown(std::nullopt);
  m_backend->m_tray.showMessage(QString::fromUtf8(asText(summary)), QString::fromUtf8(asText(body)),
                                QSystemTrayIcon::Warning);
}

void DesktopNotifier::notifyWithActions(quint32 notice, const QString& summary, const QString& body,
                                        const QStringList& actions) {
  BalloonNotice::Offer offer{notice, asText(summary), asText(body), {}};
  for (qsizetype at = 0; at + 1 < actions.size(); at += 2)
    offer.actions.emplace_back(actions[at].toStdString(), actions[at + 1].toStdString());
  QStringList captions;
  for (const auto& action : offer.actions) captions << QString::fromStdString(action.second);
  m_backend->m_tray.showMessage(QString::fromUtf8(offer.summary),
                                QString::fromUtf8(offer.body) +
                                    QStringLiteral("\nCliquez ici pour choisir : %1.").arg(captions.join(" ou ")),
                                QSystemTrayIcon::Warning);
  m_backend->m_balloon.shown(std::move(offer));
}

}  // namespace halvik::companion
