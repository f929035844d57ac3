// The companion's decisions with a fake view, a fake check and a clock of the test's own: when it
// checks, that it pauses while another holder has the monitor lock, that it notifies each
// suspended process once, and that it follows the stored settings without a restart.
#include "companion/CompanionPresenter.h"
#include "core/Locations.h"
#include "core/Settings.h"
#include "process/MonitorLock.h"
#include "process/ProcessCheck.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace halvik::companion {

namespace {

using companion::MonitorState;
using monitor::SweepRow;
using std::chrono::milliseconds;

class FakeView : public companion::CompanionView {
 public:
  std::vector<MonitorState> states;
  std::vector<std::pair<std::string, std::string>> notices;

  void showMonitorState(MonitorState state) override { states.push_back(state); }
  std::uint32_t notifySuspended(const std::string& threat, const std::string& path) override {
    notices.emplace_back(threat, path);
    return static_cast<std::uint32_t>(notices.size());
  }
};

// Returns the rows it is given and notes, at every run, whether the lock could be taken by
// someone else meanwhile (it must not: the check runs under the lock).
class FakeSweep : public monitor::ProcessSweep {
 public:
  explicit FakeSweep(std::string lockPath) : m_lockPath(std::move(lockPath)) {}
  std::vector<SweepRow> rows;
  int runs = 0;
  bool lockFreeDuringRun = false;

  std::vector<SweepRow> run() override {
    ++runs;
    process::MonitorLock other(m_lockPath);
    lockFreeDuringRun = lockFreeDuringRun || other.take();
    return rows;
  }

 private:
  std::string m_lockPath;
};

SweepRow suspended(std::uint32_t pid, std::uint64_t start, const std::string& path,
                   const std::string& threat = "Trojan.Test") {
  return SweepRow{pid, start, path, threat, process::ProcessCheck::kSuspended};
}

class CompanionPresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core::settings::write(core::settings::Key::LoadAdMonitor, "1");
    core::settings::write(core::settings::Key::AdMonitorRefresh, "1000");
  }

  // Moves the clock on by `step` and wakes the presenter, as its timer would.
  milliseconds wakeAfter(milliseconds step) {
    now += step;
    return presenter.wake();
  }

  testing_support::TestEnvironment environment;
  process::MonitorLock lock;  // the companion's, in the temporary runtime folder
  FakeView view;
  FakeSweep sweep{lock.path()};
  std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
  companion::CompanionPresenter presenter{view, sweep, lock, [this] { return now; }};
};

TEST_F(CompanionPresenterTest, ChecksAtOnceThenAtTheStoredPeriodAndEarlyWakesOnlyWait) {
  EXPECT_EQ(presenter.wake(), milliseconds(1000));
  EXPECT_EQ(sweep.runs, 1);
  EXPECT_EQ(wakeAfter(milliseconds(400)), milliseconds(600));
  EXPECT_EQ(sweep.runs, 1);
  EXPECT_EQ(wakeAfter(milliseconds(600)), milliseconds(1000));
  EXPECT_EQ(sweep.runs, 2);
  // A late wake (the machine was busy) checks once and waits a whole period again.
  EXPECT_EQ(wakeAfter(milliseconds(3500)), milliseconds(1000));
  EXPECT_EQ(sweep.runs, 3);
  EXPECT_EQ(view.states, std::vector<MonitorState>{MonitorState::On});
}

TEST_F(CompanionPresenterTest, RunsTheCheckUnderTheLockAndLetsItGoAfterwards) {
  presenter.wake();
  EXPECT_FALSE(sweep.lockFreeDuringRun);
  EXPECT_FALSE(lock.held());
  process::MonitorLock other(lock.path());
  EXPECT_TRUE(other.take());
}

TEST_F(CompanionPresenterTest, PausesWhileTheMainWindowHoldsTheLockAndResumesAfter) {
  process::MonitorLock mainWindow(lock.path());
  ASSERT_TRUE(mainWindow.take());
  EXPECT_EQ(presenter.wake(), milliseconds(1000));
  EXPECT_EQ(wakeAfter(milliseconds(1000)), milliseconds(1000));
  EXPECT_EQ(sweep.runs, 0);
  EXPECT_EQ(view.states, std::vector<MonitorState>{MonitorState::InMainWindow});

  mainWindow.release();
  wakeAfter(milliseconds(1000));
  EXPECT_EQ(sweep.runs, 1);
  EXPECT_EQ(view.states, (std::vector<MonitorState>{MonitorState::InMainWindow, MonitorState::On}));
}

TEST_F(CompanionPresenterTest, FollowsTheStoredSettingsAtEveryCheck) {
  core::settings::write(core::settings::Key::LoadAdMonitor, "0");
  EXPECT_EQ(presenter.wake(), milliseconds(1000));  // off: the settings are looked at again at the stored period
  EXPECT_EQ(sweep.runs, 0);

  core::settings::write(core::settings::Key::LoadAdMonitor, "1");
  core::settings::write(core::settings::Key::AdMonitorRefresh, "3000");
  EXPECT_EQ(wakeAfter(milliseconds(1000)), milliseconds(3000));
  EXPECT_EQ(sweep.runs, 1);

  core::settings::write(core::settings::Key::AdMonitorRefresh, "10000");
  EXPECT_EQ(wakeAfter(milliseconds(3000)), milliseconds(10000));
  core::settings::write(core::settings::Key::LoadAdMonitor, " 1");  // only exactly "1" switches the monitor on
  wakeAfter(milliseconds(10000));
  EXPECT_EQ(sweep.runs, 2);
  EXPECT_EQ(view.states, (std::vector<MonitorState>{MonitorState::Off, MonitorState::On, MonitorState::Off}));
}

TEST_F(CompanionPresenterTest, StoredPeriodIsOneOfTheDialogsFourValuesElseItsDefault) {
  for (const auto& [stored, period] : std::vector<std::pair<std::string, int>>{{"10000", 10000},
                                                                               {"5000", 5000},
                                                                               {"3000", 3000},
                                                                               {"1000", 1000},
                                                                               {"2000", 5000},
                                                                               {"0", 5000},
                                                                               {"-1", 5000},
                                                                               {" 1000", 5000},
                                                                               {"", 5000}}) {
    core::settings::write(core::settings::Key::AdMonitorRefresh, stored);
    EXPECT_EQ(companion::CompanionPresenter::storedPeriod(), milliseconds(period)) << "'" << stored << "'";
  }
}

TEST_F(CompanionPresenterTest, NotifiesEachSuspendedProcessOnceWhateverTheNumberOfChecks) {
  sweep.rows = {suspended(10, 111, "/home/u/evil one.bin"), SweepRow{11, 5, "/usr/bin/clean", "No", "N/A"},
                suspended(12, 222, "/opt/evil one.bin"),
                // a threat the check did not suspend (the program's own): nothing to announce
                SweepRow{13, 7, "/opt/halvik/orvento-halvik", "Trojan.Test", "N/A"}};
  presenter.wake();
  wakeAfter(milliseconds(1000));
  wakeAfter(milliseconds(1000));
  EXPECT_EQ(sweep.runs, 3);
  EXPECT_EQ(view.notices, (std::vector<std::pair<std::string, std::string>>{{"Trojan.Test", "/home/u/evil one.bin"},
                                                                            {"Trojan.Test", "/opt/evil one.bin"}}));
}

TEST_F(CompanionPresenterTest, ANewProcessUnderAReusedIdentifierIsNotifiedAgain) {
  sweep.rows = {suspended(10, 111, "/a/evil.bin")};
  presenter.wake();
  sweep.rows = {suspended(10, 999, "/a/evil.bin", "Other.Threat")};  // same identifier, later start
  wakeAfter(milliseconds(1000));
  sweep.rows = {};  // killed by the user
  wakeAfter(milliseconds(1000));
  sweep.rows = {suspended(10, 111, "/a/evil.bin")};  // forgotten once gone
  wakeAfter(milliseconds(1000));
  EXPECT_EQ(view.notices.size(), 3u);
  EXPECT_EQ(view.notices[1].first, "Other.Threat");
}

TEST_F(CompanionPresenterTest, NoNoticesWhilePausedAndNoRepeatAfterThePauseForTheSameProcess) {
  sweep.rows = {suspended(10, 111, "/a/evil.bin")};
  presenter.wake();
  process::MonitorLock mainWindow(lock.path());
  ASSERT_TRUE(mainWindow.take());
  wakeAfter(milliseconds(1000));
  mainWindow.release();
  wakeAfter(milliseconds(1000));
  EXPECT_EQ(view.notices.size(), 1u);
}

TEST_F(CompanionPresenterTest, LocksLiveInAPrivateRuntimeFolderAndOnlyAnotherHolderPausesTheCheck) {
  const std::string session = environment->runtimeFolder;
  EXPECT_EQ(core::runtimeFolder(), session);
#ifndef _WIN32
  std::filesystem::permissions(session, std::filesystem::perms::all);  // a folder others may enter
  const std::string own = core::runtimeFolder();
  EXPECT_NE(own, session);
  EXPECT_EQ(process::MonitorLock().path(), own + "/" + process::MonitorLock::kFileName);
  EXPECT_EQ(std::filesystem::status(own).permissions(), std::filesystem::perms::owner_all);
#endif
  // A lock file that cannot be made is no other holder: the check runs without it.
  std::filesystem::create_directories(environment.root() / "blocked");
  process::MonitorLock broken(environment.root() / "blocked");
  FakeSweep unlocked{broken.path()};
  companion::CompanionPresenter alone{view, unlocked, broken, [this] { return now; }};
  alone.wake();
  EXPECT_FALSE(broken.heldElsewhere());
  EXPECT_EQ(unlocked.runs, 1);
  EXPECT_EQ(view.states, std::vector<MonitorState>{MonitorState::On});
}

}  // namespace

}  // namespace halvik::companion
