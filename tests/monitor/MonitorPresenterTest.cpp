#include "monitor/MonitorPresenter.h"
#include "process/MonitorLock.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"

#include <gtest/gtest.h>

#include <vector>

namespace halvik::monitor {

using namespace testing_support;

namespace {

class FakeMonitorView : public MonitorView {
 public:
  void showSwitchCaption(const std::string& caption) override { switchCaption = caption; }
  void showSelection(const ProcessSelection& selection) override { shown.push_back(selection.processId); }
  void showRows(const std::vector<SweepRow>&) override { ++rebuilds; }
  void showListNote(const std::string& text) override { note = text; }
  void showMonitorState(const std::string& caption, bool shownOn) override {
    stateCaption = caption;
    stateOn = shownOn;
  }

  std::string switchCaption = "Activez";
  std::string note;
  std::vector<std::uint32_t> shown;
  int rebuilds = 0;
  std::string stateCaption;
  bool stateOn = false;
};

class FakeTimer : public MonitorTimer {
 public:
  bool active() const override { return on; }
  void start() override { on = true; }
  void stop() override { on = false; }
  std::chrono::milliseconds period() const override { return interval; }
  void setPeriod(std::chrono::milliseconds value) override { interval = value; }

  bool on = false;
  std::chrono::milliseconds interval{5000};
};

class NoProcesses : public ProcessSweep {
 public:
  std::vector<SweepRow> run() override { return {}; }
};

class MonitorPresenterTest : public ::testing::Test {
 protected:
  // Whether the companion could take the session's monitor lock now.
  static bool lockIsFree() {
    process::MonitorLock companion;
    return companion.take();
  }

  TestEnvironment locations;
  FakeMonitorView view;
  FakeTimer monitor;
  NoProcesses sweep;
  process::MonitorLock lock;
  ActiveMonitor active{monitor, sweep, lock, ActiveMonitor::Hold::WhileOn};
  MonitorPresenter presenter{view, active};
};

TEST_F(MonitorPresenterTest, ToggleSwitchesOnThenOffAndShowsItOnBothPages) {
  struct Expected {
    bool on;
    const char* toggleCaption;
    const char* statusCaption;
  };
  for (const Expected& expected :
       {Expected{true, "D\u00E9sactiv\u00E9", "Charg\u00E9"}, Expected{false, "Activ\u00E9", "Non Charg\u00E9"}}) {
    presenter.toggle();
    EXPECT_EQ(monitor.on, expected.on);
    EXPECT_EQ(view.switchCaption, expected.toggleCaption);
    EXPECT_EQ(view.stateCaption, expected.statusCaption);
    EXPECT_EQ(view.stateOn, expected.on);
    EXPECT_EQ(lockIsFree(), !expected.on);  // the lock is held exactly while the monitor is on
  }
  EXPECT_EQ(view.rebuilds, 0);  // switching does not refresh at once
  EXPECT_EQ(core::settings::read(core::settings::Key::LoadAdMonitor), "0");
}

// A monitor switched on at start-up: the first click switches it off.
TEST_F(MonitorPresenterTest, AMonitorStartedElsewhereIsFollowedThenSwitchedOff) {
  active.switchOn();
  EXPECT_FALSE(lockIsFree());
  presenter.toggle();
  EXPECT_FALSE(monitor.on);
  EXPECT_EQ(view.switchCaption, "Activ\u00E9");
  EXPECT_TRUE(lockIsFree());
}

TEST_F(MonitorPresenterTest, RefreshRunsOnlyUnderTheLockAndKeepsItOnlyWhileOn) {
  process::MonitorLock companion;
  ASSERT_TRUE(companion.take());
  presenter.refresh();  // the companion is checking: this tick keeps the rows and says why, never waiting
  EXPECT_EQ(view.rebuilds, 0);
  EXPECT_NE(view.note.find("compagnon"), std::string::npos);
  companion.release();

  presenter.refresh();
  EXPECT_EQ(view.rebuilds, 1);
  EXPECT_EQ(view.note, "");
  EXPECT_TRUE(lockIsFree());  // off: the lock goes again at once

  monitor.on = true;
  presenter.refresh();
  EXPECT_EQ(view.rebuilds, 2);
  EXPECT_FALSE(lockIsFree());
}

TEST_F(MonitorPresenterTest, TerminerActsOnTheLastClickedRowAndOnNothingBefore) {
  core::settings::write(core::settings::Key::LogFile, "1");
  presenter.terminate();
  EXPECT_FALSE(presenter.selection());
  EXPECT_TRUE(logMessages().empty());

  // Processes that have ended since they were listed: only the log line remains.
  presenter.select(ProcessSelection{0x7FFFFFF0u, "first one", 1});
  presenter.select(ProcessSelection{0x7FFFFFF1u, "second one", 2});
  EXPECT_EQ(view.shown, (std::vector<std::uint32_t>{0x7FFFFFF0u, 0x7FFFFFF1u}));
  presenter.terminate();
  EXPECT_EQ(countOf(logMessages(), "User Killed Process second one"), 1);
  EXPECT_EQ(countOf(logMessages(), "User Killed Process first one"), 0);
}

}  // namespace

}  // namespace halvik::monitor
