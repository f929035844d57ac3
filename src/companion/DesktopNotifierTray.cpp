// Windows: notifications as the tray icon's balloon; a click on the balloon opens the program.
#include "companion/DesktopNotifier.h"

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
  m_backend->m_tray.showMessage(summary, body, QSystemTrayIcon::Warning);
}

void DesktopNotifier::notifyWithActions(quint32, const QString& summary, const QString& body, const QStringList&) {
  notify(summary, body);
}

}  // namespace halvik::companion
