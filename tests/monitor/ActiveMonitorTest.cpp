// The active monitor with a fake timer and a fake check: switched with its timer, the lock held as
// each program holds it, and another holder of the lock, which never makes a check wait and keeps
// the rows of the last check with the reason.
#include "monitor/ActiveMonitor.h"
#include "process/MonitorLock.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

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

class ActiveMonitorTest : public ::testing::Test, public ProcessSweep {
 protected:
  // The check: the rows it is given; notes whether another holder could take the lock meanwhile.
  std::vector<SweepRow> run() override {
    ++runs;
    lockFreeDuringRun = lockFreeDuringRun || lockIsFree();
    return rows;
  }
  bool lockIsFree() const { return process::MonitorLock(lock.path()).take(); }

  testing_support::TestEnvironment environment;
  process::MonitorLock lock;
  FakeTimer timer;
  std::vector<SweepRow> rows;
  int runs = 0;
  bool lockFreeDuringRun = false;
};

// The window holds the lock while on (the companion holds it only during each check: its tests).
TEST_F(ActiveMonitorTest, SwitchesWithItsTimerAtItsPeriodAndHoldsTheLockWhileOn) {
  ActiveMonitor window(timer, *this, lock, ActiveMonitor::Hold::WhileOn);
  window.switchOn();
  window.setPeriod(milliseconds(1000));  // whether on or off, the timer's
  EXPECT_TRUE(timer.running);
  EXPECT_EQ(timer.interval, milliseconds(1000));
  EXPECT_EQ(window.status(), MonitorStatus::On);
  EXPECT_FALSE(lockIsFree());  // from the switch on, before any check
  EXPECT_TRUE(window.check());
  EXPECT_FALSE(lockIsFree());
  window.switchOff();
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(window.status(), MonitorStatus::Off);
  EXPECT_TRUE(lockIsFree());
  EXPECT_TRUE(window.check());  // by hand while off: the lock goes again at once
  EXPECT_TRUE(lockIsFree());
  EXPECT_EQ(runs, 2);
  EXPECT_FALSE(lockFreeDuringRun);
}

TEST_F(ActiveMonitorTest, AnotherHolderNeverMakesACheckWaitAndTheLastRowsStayWithTheReason) {
  ActiveMonitor monitor(timer, *this, lock, ActiveMonitor::Hold::WhileOn);
  process::MonitorLock other(lock.path());
  ASSERT_TRUE(other.take());
  monitor.switchOn();  // taken at a later check
  EXPECT_FALSE(monitor.check());
  EXPECT_EQ(monitor.status(), MonitorStatus::HeldElsewhere);
  other.release();
  rows = {SweepRow{10, 111, "/opt/first", "No", "N/A"}};
  EXPECT_TRUE(monitor.check());
  EXPECT_EQ(monitor.reason(), "");
  monitor.switchOff();

  ASSERT_TRUE(other.take());
  rows = {SweepRow{11, 222, "/opt/second", "No", "N/A"}};
  EXPECT_FALSE(monitor.check());
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(monitor.rows().size(), 1u);
  EXPECT_EQ(monitor.rows()[0].imagePath, "/opt/first");
  EXPECT_NE(monitor.reason().find("compagnon"), std::string::npos);
  EXPECT_EQ(monitor.status(), MonitorStatus::HeldElsewhere);
}

}  // namespace

}  // namespace halvik::monitor
