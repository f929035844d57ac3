#include "monitor/ProcessSelection.h"
#include "platform/Platform.h"
#include "process/ProcessCheck.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

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

  static bool endsSoon(ChildProcess& child) { return child.waitForEnd(); }

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
  EXPECT_FALSE(child.stopSent());
  EXPECT_TRUE(child.survivesAStop());
  EXPECT_EQ(logMessages(), (std::vector<std::string>{"User Killed Process " + path,
                                                     "User Killed Process " + environment.root() / "another program"}));
}

#ifndef _WIN32
// A false positive never stays frozen: "Reprendre" lets it run, and neither monitor suspends it
// again while it runs; a later process of the same image is a new one and is suspended.
TEST_F(Terminer, ResumedProcessRunsAndIsSparedUntilItEnds) {
  const std::string name = std::filesystem::path(path).filename().string();
  writeReferenceDatabase({{name, "Adware.False"}});
  auto child = std::make_unique<ChildProcess>(path);
  const ProcessSelection selected = selectionOf(*child);
  const auto check = [&] {
    return process::ProcessCheck::CheckRunningProcess(path, child->pid(), selectionOf(*child).startTime).action;
  };
  EXPECT_EQ(check(), process::ProcessCheck::kSuspended);
  ASSERT_TRUE(child->waitForState('T'));
  ResumeSelection(selected);
  EXPECT_TRUE(child->waitForState('S'));
  EXPECT_EQ(check(), process::ProcessCheck::kNoAction);
  EXPECT_FALSE(child->stopSent());
  EXPECT_EQ(countOf(logMessages(), "User Resumed Process " + path), 1);

  child = std::make_unique<ChildProcess>(path);
  EXPECT_EQ(check(), process::ProcessCheck::kSuspended);
  EXPECT_TRUE(child->waitForState('T'));
}
#endif

}  // namespace halvik::monitor
