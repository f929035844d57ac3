// "Reprendre" on the companion's notice of a suspended process, with a fake view and a fake check
// over processes of the test's own: only the process the notice announced runs again (identifier
// and start time), it is exempt from both monitors afterwards, and a notice whose process has
// ended or whose identifier now names another process touches nothing.
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

#include <vector>

namespace halvik::companion {

namespace {

using namespace testing_support;

class NumberedNotices : public CompanionView {
 public:
  void showMonitorState(MonitorState) override {}
  std::uint32_t notifySuspended(const std::string&, const std::string& path) override {
    paths.push_back(path);
    return static_cast<std::uint32_t>(paths.size()) + 100;  // the n-th notice is 100 + n
  }
  std::vector<std::string> paths;
};

class ListedRows : public monitor::ProcessSweep {
 public:
  std::vector<monitor::SweepRow> run() override { return rows; }
  std::vector<monitor::SweepRow> rows;
};

class CompanionResumeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core::settings::write(core::settings::Key::LoadAdMonitor, "1");
    core::settings::write(core::settings::Key::LogFile, "1");
  }

  // The child, suspended by the monitor's own suspension, as a check lists it.
  static monitor::SweepRow suspend(const ChildProcess& child) {
    const auto info = platform::processInfo(child.pid());
    if (!info || !process::mdlProcess::SuspendProcess(*info)) return {};
    child.waitForState('T');
    return monitor::SweepRow{info->processId, info->startTime, info->imagePath, "Adware.False",
                             process::ProcessCheck::kSuspended};
  }

  // A SIGCONT takes a stopped process out of 'T' before kill() returns: a child still in 'T' was
  // never resumed.
  static bool untouched(const ChildProcess& child) { return child.state() == 'T'; }

  TestEnvironment environment;
  process::MonitorLock lock;
  NumberedNotices view;
  ListedRows sweep;
  std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
  CompanionPresenter presenter{view, sweep, lock, [this] { return now; }};
  const std::string firstPath = environment.root() / uniqueName("first false positive");
  const std::string secondPath = environment.root() / uniqueName("second false positive");
};

TEST_F(CompanionResumeTest, ResumesOnlyTheProcessItsNoticeAnnouncedAndExemptsIt) {
  ChildProcess first(firstPath);
  ChildProcess second(secondPath);
  sweep.rows = {suspend(first), suspend(second)};
  ASSERT_EQ(sweep.rows[1].processId, second.pid());
  presenter.wake();
  ASSERT_EQ(view.paths, (std::vector<std::string>{firstPath, secondPath}));

  presenter.resumeChosen(102);
  EXPECT_TRUE(second.waitForState('S'));
  EXPECT_TRUE(untouched(first));
  EXPECT_TRUE(process::ResumedProcesses::contains(second.pid(), sweep.rows[1].startTime));
  EXPECT_FALSE(process::ResumedProcesses::contains(first.pid(), sweep.rows[0].startTime));
  EXPECT_EQ(countOf(logMessages(), "User Resumed Process " + secondPath), 1);
  EXPECT_EQ(countOf(logMessages(), "User Resumed Process " + firstPath), 0);

  // An unknown notice, and one whose process a later check no longer lists as suspended.
  presenter.resumeChosen(999);
  sweep.rows.pop_back();
  now += CompanionPresenter::storedPeriod();
  presenter.wake();
  presenter.resumeChosen(102);
  EXPECT_TRUE(untouched(first));
  EXPECT_EQ(countOf(logMessages(), "User Resumed Process " + secondPath), 1);
}

TEST_F(CompanionResumeTest, ANoticeWhoseProcessEndedOrWasReplacedTouchesNothing) {
  ChildProcess replaced(firstPath);
  monitor::SweepRow earlier = suspend(replaced);
  earlier.startTime -= 1;  // the notice announced an earlier process given the same identifier
  ChildProcess gone(secondPath);
  sweep.rows = {earlier, suspend(gone)};
  presenter.wake();
  ASSERT_EQ(view.paths.size(), 2u);
  gone.stop();

  presenter.resumeChosen(101);
  presenter.resumeChosen(102);
  EXPECT_TRUE(untouched(replaced));
  EXPECT_FALSE(process::ResumedProcesses::contains(replaced.pid(), earlier.startTime + 1));
  EXPECT_EQ(countOf(logMessages(), "User Resumed Process " + firstPath), 0);
  EXPECT_EQ(countOf(logMessages(), "User Resumed Process " + secondPath), 0);
}

}  // namespace

}  // namespace halvik::companion
