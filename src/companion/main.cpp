// Sentrel.exe, the companion alert program that the start-up entry starts: the shield in the
// notification area, the active monitor's check in the background, and a desktop notification
// for each process it suspends.
#include "companion/CompanionPresenter.h"
#include "companion/CompanionTray.h"
#include "companion/FeedCheck.h"
#include "companion/FileWatchRunner.h"
#include "core/Locations.h"
#include "core/mMain.h"
#include "engine/SignatureUpdate.h"
#include "monitor/MonitorSweep.h"
#include "platform/Environment.h"
#include "platform/Platform.h"
#include "process/MonitorLock.h"
#include "widgets/Fonts.h"
#include "widgets/NoDisplay.h"
#include "widgets/QtFrench.h"

#include <QApplication>
#include <QTimer>

namespace halvik::companion {

namespace {
// Held for the companion's whole run: a second copy in the same session leaves at once.
constexpr const char* kInstanceLock = "orvento-halvik-companion.lock";
}  // namespace

int run(int argc, char* argv[]) {
  if (platform::environment().programFolder.empty()) return 2;  // no folder of its own: nothing is sound
  if (!widgets::displayAvailable()) return widgets::kNoDisplayStatus;
  const platform::FileLock instance = platform::FileLock::tryTake(core::runtimeFile(kInstanceLock));
  if (!instance.held() && instance.status().code() == platform::kLockHeldElsewhere) return 0;
  if (!instance.held()) core::mMain::WriteLog("The companion's lock could not be taken: " + instance.status().text());
  engine::verifyUpdatesWithTrustedKeys();

  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);  // the folder chooser is its only window
  QApplication::setFont(widgets::fonts::ui());
  widgets::installQtFrench(application);

  CompanionTray tray;
  monitor::MonitorSweep sweep;
  process::MonitorLock lock;
  companion::CompanionPresenter presenter(tray, sweep, lock, [] { return std::chrono::steady_clock::now(); });

  // One single-shot timer, set again after every wake for as long as the presenter asks: the
  // companion sleeps between checks.
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, [&] { timer.start(presenter.wake()); });
  QObject::connect(&tray, &CompanionTray::quitRequested, &application, &QApplication::quit);
  QObject::connect(&tray, &CompanionTray::resumeChosen,
                   [&presenter](quint32 notice) { presenter.resumeChosen(notice); });

  // The watch of folders, on its own thread while "Surveillance des fichiers" is on.
  watch::WatchPresenter watchPresenter(tray);
  FileWatchRunner fileWatch(watchPresenter);
  const auto restartWatch = [&] {
    fileWatch.restart();
    tray.showWatchState(fileWatch.running());
  };
  QObject::connect(&tray, &CompanionTray::watchSettingsChanged, restartWatch);
  QObject::connect(&tray, &CompanionTray::noticeAction, [&](quint32 notice, bool quarantine) {
    if (quarantine)
      watchPresenter.quarantineChosen(notice);
    else
      watchPresenter.ignoreChosen(notice);
  });
  restartWatch();
  timer.start(0);

  // The signature feed: looked at every hour, checked when the last check is a day old.
  companion::FeedCheck feedCheck(engine::updateSignatures, [&tray](const std::string& text) { tray.notifyText(text); });
  QTimer feedTimer;
  QObject::connect(&feedTimer, &QTimer::timeout, [&feedCheck] { feedCheck.wake(); });
  feedTimer.start(std::chrono::hours(1));
  QTimer::singleShot(0, &feedTimer, [&feedCheck] { feedCheck.wake(); });
  return QApplication::exec();
}

}  // namespace halvik::companion

int main(int argc, char* argv[]) { return halvik::companion::run(argc, argv); }
