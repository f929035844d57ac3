// Windows: notifications as the tray icon's balloon; a click on the balloon opens the program.
#include "companion/DesktopNotifier.h"
#include "core/NoticeText.h"

#include <QSystemTrayIcon>

namespace halvik::companion {

class DesktopNotifier::Backend {
 public:
  explicit Backend(QSystemTrayIcon& tray) : m_tray(tray) {}
  QSystemTrayIcon& m_tray;
};

DesktopNotifier::DesktopNotifier(QSystemTrayIcon& tray, QObject* parent)
    : QObject(parent), m_backend(std::make_unique<Backend>(tray)) {
  connect(&tray, &QSystemTrayIcon::messageClicked, this, &DesktopNotifier::activated);
}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::notify(const QString& summary, const QString& body) {
  // A balloon shows plain text; a path still keeps to one line.
  const auto asText = [](const QString& text) {
    return QString::fromUtf8(core::noticeText(text.toUtf8().toStdString(), core::NoticeMarkup::Plain));
  };
  m_backend->m_tray.showMessage(asText(summary), asText(body), QSystemTrayIcon::Warning);
}

void DesktopNotifier::notifyWithActions(quint32, const QString& summary, const QString& body, const QStringList&) {
  notify(summary, body);
}

}  // namespace halvik::companion
