#pragma once

#include "companion/CompanionView.h"
#include "companion/DesktopNotifier.h"

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

namespace halvik::companion {

// The companion's face: the shield in the notification area with a tooltip telling where the
// active monitor runs, its menu, and the desktop notifications. Where the desktop has no
// notification area the icon is simply not seen; notifications still go out.
class CompanionTray : public QObject, public companion::CompanionView {
  Q_OBJECT

 public:
  explicit CompanionTray(QObject* parent = nullptr);

  void showMonitorState(companion::MonitorState state) override;
  void notifySuspended(const std::string& threatName, const std::string& imagePath) override;
  // A notification with `summary` alone ("Signatures mises à jour : ...").
  void notifyText(const std::string& summary);

  const QSystemTrayIcon& icon() const { return m_icon; }

 signals:
  void quitRequested();

 private:
  void buildMenu();
  void chooseFolderToScan();

  QMenu m_menu;
  QSystemTrayIcon m_icon;
  DesktopNotifier m_notifier;
};

}  // namespace halvik::companion
