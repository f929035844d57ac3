#pragma once

#include "companion/CompanionView.h"
#include "companion/DesktopNotifier.h"
#include "watch/WatchView.h"

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

namespace halvik::companion {

// The companion's face: the shield in the notification area with a tooltip telling where the
// active monitor runs, its menu, and the desktop notifications. Where the desktop has no
// notification area the icon is simply not seen; notifications still go out.
class CompanionTray : public QObject, public companion::CompanionView, public watch::WatchView {
  Q_OBJECT

 public:
  explicit CompanionTray(QObject* parent = nullptr);

  void showMonitorState(companion::MonitorState state) override;
  std::uint32_t notifySuspended(const std::string& threatName, const std::string& imagePath) override;
  // A notification with `summary` alone ("Signatures mises à jour : ...").
  void notifyText(const std::string& summary);
  std::uint32_t showNotice(const std::string& title, const std::string& body, bool withActions) override;
  // The tooltip's second line: whether the watch of folders is on.
  void showWatchState(bool on);

  const QSystemTrayIcon& icon() const { return m_icon; }

 signals:
  void quitRequested();
  // An action of a watch notice: "Mettre en quarantaine" (quarantine) or "Ignorer".
  void noticeAction(quint32 notice, bool quarantine);
  // "Reprendre" on the suspension notice `notice`, or the menu's entry for the last one.
  void resumeChosen(quint32 notice);
  // The dialog of the watched folders stored new settings.
  void watchSettingsChanged();

 private:
  void buildMenu();
  void chooseFolderToScan();
  void editWatchedFolders();
  void showTooltip();

  QMenu m_menu;
  QAction* m_resumeLast = nullptr;  // "Reprendre" for the last suspension notice, where notices have no actions
  std::uint32_t m_lastSuspension = 0;
  QSystemTrayIcon m_icon;
  DesktopNotifier m_notifier;
  const bool m_symbolic;  // the desktop asks for symbolic status icons
  companion::MonitorState m_monitorState = companion::MonitorState::Off;
  bool m_watchOn = false;
  std::uint32_t m_notices = 0;
};

}  // namespace halvik::companion
