// The active monitor with a fake timer and a fake check: switching on and off with the timer, the
// period kept by the timer, the lock held as each program holds it, and a lock held by another
// holder, which never makes a check wait and keeps the rows of the last check.
#include "monitor/ActiveMonitor.h"
#include "process/MonitorLock.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <utility>

namespace halvik::monitor {

namespace {

using std::chrono::milliseconds;

class FakeTimer : public MonitorTimer {
 public:
  bool active() const override { return running; }
  void start() override { running = true; }
  void stop() override { running = false; }
  milliseconds period() const override { return interval; }
  void setPeriod(milliseconds value) override { interval = value; }

  bool running = false;
  milliseconds interval{5000};
};

// Returns the rows it is given and notes whether another holder could take the lock meanwhile.
class FakeSweep : public ProcessSweep {
 public:
  explicit FakeSweep(std::string lockPath) : m_lockPath(std::move(lockPath)) {}
  std::vector<SweepRow> run() override {
    ++runs;
    process::MonitorLock other(m_lockPath);
    lockFreeDuringRun = lockFreeDuringRun || other.take();
    return rows;
  }

  std::vector<SweepRow> rows;
  int runs = 0;
  bool lockFreeDuringRun = false;

 private:
  std::string m_lockPath;
};

class ActiveMonitorTest : public ::testing::Test {
 protected:
  bool lockIsFree() const { return process::MonitorLock(lock.path()).take(); }

  testing_support::TestEnvironment environment;
  process::MonitorLock lock;
  FakeTimer timer;
  FakeSweep sweep{lock.path()};
};

TEST_F(ActiveMonitorTest, SwitchesWithItsTimerAndHoldsTheLockAsItsProgramDoes) {
  ActiveMonitor window(timer, sweep, lock, ActiveMonitor::Hold::WhileOn);
  EXPECT_FALSE(window.on());
  EXPECT_EQ(window.status(), MonitorStatus::Off);
  window.switchOn();
  EXPECT_TRUE(timer.running);
  EXPECT_EQ(window.status(), MonitorStatus::On);
  EXPECT_FALSE(lockIsFree());  // held from the switch on, before any check
  EXPECT_TRUE(window.check());
  EXPECT_FALSE(sweep.lockFreeDuringRun);
  EXPECT_FALSE(lockIsFree());
  window.switchOff();
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(window.status(), MonitorStatus::Off);
  EXPECT_TRUE(lockIsFree());
  EXPECT_TRUE(window.check());  // a check by hand while off lets the lock go at once
  EXPECT_TRUE(lockIsFree());

  ActiveMonitor companion(timer, sweep, lock, ActiveMonitor::Hold::DuringCheck);
  companion.switchOn();
  EXPECT_TRUE(lockIsFree());  // held only during each check
  EXPECT_TRUE(companion.check());
  EXPECT_FALSE(sweep.lockFreeDuringRun);
  EXPECT_TRUE(lockIsFree());
  EXPECT_EQ(sweep.runs, 3);
}

TEST_F(ActiveMonitorTest, ThePeriodIsTheTimersWhetherOnOrOff) {
  ActiveMonitor monitor(timer, sweep, lock, ActiveMonitor::Hold::WhileOn);
  monitor.setPeriod(milliseconds(1000));
  EXPECT_EQ(timer.interval, milliseconds(1000));
  monitor.switchOn();
  monitor.setPeriod(milliseconds(3000));
  EXPECT_TRUE(timer.running);
  EXPECT_EQ(timer.interval, milliseconds(3000));
  timer.interval = milliseconds(10000);  // the settings dialog sets the timer itself
  EXPECT_EQ(monitor.period(), milliseconds(10000));
}

TEST_F(ActiveMonitorTest, AnotherHolderNeverMakesACheckWaitAndTheLastRowsStayWithTheReason) {
  ActiveMonitor monitor(timer, sweep, lock, ActiveMonitor::Hold::WhileOn);
  process::MonitorLock other(lock.path());
  ASSERT_TRUE(other.take());
  monitor.switchOn();  // the other holder keeps it: the window takes it at a later check
  EXPECT_FALSE(monitor.check());
  EXPECT_EQ(monitor.status(), MonitorStatus::HeldElsewhere);
  EXPECT_TRUE(monitor.rows().empty());
  other.release();

  sweep.rows = {SweepRow{10, 111, "/opt/first", "No", "N/A"}};
  EXPECT_TRUE(monitor.check());
  EXPECT_EQ(monitor.status(), MonitorStatus::On);
  EXPECT_EQ(monitor.reason(), "");
  monitor.switchOff();

  ASSERT_TRUE(other.take());
  sweep.rows = {SweepRow{11, 222, "/opt/second", "No", "N/A"}};
  EXPECT_FALSE(monitor.check());
  EXPECT_EQ(sweep.runs, 1);
  ASSERT_EQ(monitor.rows().size(), 1u);
  EXPECT_EQ(monitor.rows()[0].imagePath, "/opt/first");
  EXPECT_NE(monitor.reason().find("compagnon"), std::string::npos);
  EXPECT_EQ(monitor.status(), MonitorStatus::HeldElsewhere);
}

// A lock that cannot be made at all is no other holder: the check runs without it.
TEST_F(ActiveMonitorTest, ALockThatCannotBeMadeNeverStopsTheCheck) {
  std::filesystem::create_directories(environment.root() / "blocked");
  process::MonitorLock broken(environment.root() / "blocked");
  ActiveMonitor monitor(timer, sweep, broken, ActiveMonitor::Hold::WhileOn);
  monitor.switchOn();
  EXPECT_TRUE(monitor.check());
  EXPECT_EQ(monitor.reason(), "");
  EXPECT_EQ(sweep.runs, 1);
}

}  // namespace

}  // namespace halvik::monitor
