// "Reprendre" on the companion's notice of a suspension, with a fake view and a fake check over
// processes of the test's own: only the process the notice announced runs again, exempt from
// both monitors; a notice whose process ended or whose identifier names another process now
// touches nothing.
#include "companion/CompanionPresenter.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "process/MonitorLock.h"
#include "process/ProcessCheck.h"
#include "process/ResumedProcesses.h"
#include "process/mdlProcess.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"

#include <gtest/gtest.h>

namespace halvik::companion {

namespace {

using namespace testing_support;

class CompanionResumeTest : public ::testing::Test, public CompanionView, public monitor::ProcessSweep {
 protected:
  void SetUp() override {
    core::settings::write(core::settings::Key::LoadAdMonitor, "1");
    core::settings::write(core::settings::Key::LogFile, "1");
  }
  void showMonitorState(MonitorState) override {}
  std::uint32_t notifySuspended(const std::string&, const std::string&) override { return 100 + ++notices; }
  std::vector<monitor::SweepRow> run() override { return rows; }

  // The child suspended as the monitor suspends, and its row.
  static monitor::SweepRow suspend(const ChildProcess& child) {
    const auto info = platform::processInfo(child.pid());
    if (!info || !process::mdlProcess::SuspendProcess(*info)) return {};
    child.waitForState('T');
    return {info->processId, info->startTime, info->imagePath, "Adware.False", process::ProcessCheck::kSuspended};
  }
  // A SIGCONT takes a stopped process out of 'T' before kill() returns: still 'T' is never resumed.
  static bool untouched(const ChildProcess& child) { return child.state() == 'T'; }
  long resumedLines(const std::string& path) { return countOf(logMessages(), "User Resumed Process " + path); }

  TestEnvironment environment;
  process::MonitorLock lock;
  std::vector<monitor::SweepRow> rows;
  std::uint32_t notices = 0;
  std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
  CompanionPresenter presenter{*this, *this, lock, [this] { return now; }};
  const std::string first = environment.root() / uniqueName("first one");
  const std::string second = environment.root() / uniqueName("second one");
};

TEST_F(CompanionResumeTest, ResumesOnlyTheProcessItsNoticeAnnouncedAndExemptsIt) {
  ChildProcess one(first), two(second);
  rows = {suspend(one), suspend(two)};
  presenter.wake();
  presenter.resumeChosen(102);
  presenter.resumeChosen(999);  // no such notice
  EXPECT_TRUE(two.waitForState('S'));
  EXPECT_TRUE(untouched(one));
  EXPECT_TRUE(process::ResumedProcesses::contains(two.pid(), rows[1].startTime));
  EXPECT_FALSE(process::ResumedProcesses::contains(one.pid(), rows[0].startTime));
  EXPECT_EQ(resumedLines(second), 1);
  EXPECT_EQ(resumedLines(first), 0);
}

TEST_F(CompanionResumeTest, ANoticeWhoseProcessEndedOrWasReplacedTouchesNothing) {
  ChildProcess replaced(first), gone(second);
  rows = {suspend(replaced), suspend(gone)};
  rows[0].startTime -= 1;  // the notice announced an earlier process given the same identifier
  presenter.wake();
  gone.stop();
  presenter.resumeChosen(101);
  presenter.resumeChosen(102);
  EXPECT_TRUE(untouched(replaced));
  EXPECT_FALSE(process::ResumedProcesses::contains(replaced.pid(), rows[0].startTime + 1));
  EXPECT_EQ(resumedLines(first) + resumedLines(second), 0);

  // Once a check no longer lists it as suspended, its notice does nothing either.
  rows[0].startTime += 1;
  now += CompanionPresenter::storedPeriod();
  presenter.wake();  // notified anew: notice 103
  rows.clear();
  now += CompanionPresenter::storedPeriod();
  presenter.wake();
  presenter.resumeChosen(103);
  EXPECT_TRUE(untouched(replaced));
}

}  // namespace

}  // namespace halvik::companion
