#include "monitor/ProcessSelection.h"
#include "platform/Platform.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace halvik::monitor {

using namespace testing_support;

namespace {

class Terminer : public ::testing::Test {
 protected:
  void SetUp() override { core::settings::write(core::settings::Key::LogFile, "1"); }

  ProcessSelection selectionOf(const ChildProcess& child) const {
    const auto info = platform::processInfo(child.pid());
    return ProcessSelection{child.pid(), info ? info->imagePath : std::string(), info ? info->startTime : 0};
  }

  static bool endsSoon(ChildProcess& child) {
    for (int i = 0; i < 200; ++i) {
      if (child.ended()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  TestEnvironment environment;
  const std::string path = environment.root() / uniqueName("selected one");
};

}  // namespace

TEST_F(Terminer, KillsTheSelectedProcessAndLogs) {
  ChildProcess child(path);
  TerminateSelection(selectionOf(child));
  EXPECT_TRUE(endsSoon(child));
  EXPECT_EQ(logMessages(), std::vector<std::string>{"User Killed Process " + path});
}

TEST_F(Terminer, KillsASuspendedProcessToo) {
  ChildProcess child(path);
  for (const auto& thread : platform::threadSnapshot())
    if (thread.ownerProcessId == child.pid()) platform::suspendThread(child.pid(), thread.threadId);
  ASSERT_TRUE(child.waitForState('T'));
  TerminateSelection(selectionOf(child));
  EXPECT_TRUE(endsSoon(child));
}

TEST_F(Terminer, VanishedProcessOnlyLogs) {
  ChildProcess child(path);
  const ProcessSelection selection = selectionOf(child);
  child.stop();
  TerminateSelection(selection);
  EXPECT_EQ(logMessages(), std::vector<std::string>{"User Killed Process " + path});
}

TEST_F(Terminer, ReusedIdentifierIsNotKilled) {
  ChildProcess child(path);
  // The identifier now names a process started later, or one running another image.
  ProcessSelection later = selectionOf(child);
  later.startTime -= 1;
  ProcessSelection otherImage = selectionOf(child);
  otherImage.imagePath = environment.root() / "another program";
  TerminateSelection(later);
  TerminateSelection(otherImage);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(child.ended());
  EXPECT_NE(child.state(), 'T');
  EXPECT_EQ(logMessages(), (std::vector<std::string>{"User Killed Process " + path,
                                                     "User Killed Process " + environment.root() / "another program"}));
}

}  // namespace halvik::monitor
