#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QSystemTrayIcon;

namespace halvik::companion {

// A desktop notification: the freedesktop notification service over D-Bus on Linux, the tray
// icon's balloon on Windows. A service that is missing or fails is silent; nothing waits for it.
class DesktopNotifier : public QObject {
  Q_OBJECT

 public:
  explicit DesktopNotifier(QSystemTrayIcon& tray, QObject* parent = nullptr);
  ~DesktopNotifier() override;

  // `summary` and `body` are plain text: each is kept to one line, and the body is escaped where
  // the service reads markup (core::noticeText), so nothing in them is ever a tag or a link.
  void notify(const QString& summary, const QString& body);
  // A notification offering `actions` (pairs of key and caption; the Windows balloon shows none:
  // a click on it offers them in a dialog), known by the caller's number `notice`.
  void notifyWithActions(quint32 notice, const QString& summary, const QString& body, const QStringList& actions);

 signals:
  // The user clicked one of this notifier's notifications.
  void activated();
  // The user chose the action `key` on the notification `notice` of notifyWithActions.
  void actionChosen(quint32 notice, const QString& key);

 private:
  class Backend;
  std::unique_ptr<Backend> m_backend;
};

}  // namespace halvik::companion
