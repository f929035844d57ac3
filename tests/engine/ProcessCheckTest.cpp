#include "core/Locations.h"
#include "engine/ProcessCheck.h"
#include "platform/Platform.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/ThreatDatabase.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class ProcessCheckTest : public ::testing::Test {
 protected:
  ScopedLocations locations;
  const std::string name = uniqueName("MixedCase Tool");
  const std::string path = locations.root() / name;
};

}  // namespace

TEST_F(ProcessCheckTest, HitIsLoggedWithTheNameAsWrittenAndSuspended) {
  writeReferenceDatabase({{name, "Adware.Mixed (v2)"}});
  ChildProcess child(path);
  const auto verdict = ProcessCheck::CheckRunningProcess(path, child.pid());
  EXPECT_EQ(verdict.status, "Adware.Mixed (v2)");
  EXPECT_EQ(verdict.action, "Application Suspended");
  EXPECT_TRUE(child.waitForState('T'));
  const auto log = logMessages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], name + ", a running process, is found as malicious. Suspsending: Adware.Mixed (v2)");
}

TEST_F(ProcessCheckTest, CleanProcessIsLeftAlone) {
  writeReferenceDatabase({{"OTHER.EXE", "Other"}});
  ChildProcess child(path);
  const auto verdict = ProcessCheck::CheckRunningProcess(path, child.pid());
  EXPECT_EQ(verdict.status, "No");
  EXPECT_EQ(verdict.action, "N/A");
  EXPECT_NE(child.state(), 'T');
  EXPECT_TRUE(logMessages().empty());
}

TEST_F(ProcessCheckTest, MissingDatabaseFindsNothing) {
  settings::write(settings::LogFile, "1");
  const auto verdict = ProcessCheck::CheckRunningProcess(path, unusedProcessId());
  EXPECT_EQ(verdict.status, "No");
  EXPECT_EQ(verdict.action, "N/A");
  EXPECT_TRUE(logMessages().empty());
}

TEST_F(ProcessCheckTest, GoneProcessStillGetsItsVerdict) {
  writeReferenceDatabase({{name, "Gone Threat"}});
  const auto verdict = ProcessCheck::CheckRunningProcess(path, unusedProcessId());
  EXPECT_EQ(verdict.status, "Gone Threat");
  EXPECT_EQ(verdict.action, "Application Suspended");
}

TEST_F(ProcessCheckTest, OwnProcessShowsTheThreatButIsNeverSuspended) {
#ifdef _WIN32
  GTEST_SKIP() << "runs the check in a forked copy of the test; the rule is the same code on every system";
#else
  writeReferenceDatabase({{name, "Threat Self"}});
  // Run in a forked copy: should the check stop its own process, the copy is seen stopped and killed.
  const int code = exitCodeInChild([&] {
    const auto verdict = ProcessCheck::CheckRunningProcess(path, platform::currentProcessId());
    return verdict.status == "Threat Self" && verdict.action == "N/A" ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(logMessages().empty());
#endif
}

TEST_F(ProcessCheckTest, TheProgramFoldersOwnProgramsAreNeverSuspended) {
  for (const char* program : {core::kMainProgram, core::kCompanionProgram}) {
    const std::string own = core::programFile(program);
    writeReferenceDatabase({{program, "Listed By Mistake"}});
    ChildProcess child(own);
    const auto verdict = ProcessCheck::CheckRunningProcess(own, child.pid());
    EXPECT_EQ(verdict.status, "Listed By Mistake") << program;
    EXPECT_EQ(verdict.action, "N/A") << program;
    EXPECT_FALSE(child.waitForState('T')) << program;
  }
  EXPECT_TRUE(logMessages().empty());
}
