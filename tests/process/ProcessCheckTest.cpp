#include "core/Locations.h"
#include "platform/Platform.h"
#include "platform/SystemText.h"
#include "process/ProcessCheck.h"
#include "support/ChildProcess.h"
#include "support/SignalPath.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"
#ifndef _WIN32
#include "support/PidNamespace.h"
#endif

#include <gtest/gtest.h>

#include <cerrno>

namespace halvik::process {

using namespace testing_support;

namespace {

// The process as the monitor's listing saw it.
platform::ProcessInfo listed(const ChildProcess& child) {
  const auto info = platform::processInfo(child.pid());
  return info ? *info : platform::ProcessInfo{};
}

process::ProcessCheck::Verdict check(const platform::ProcessInfo& process) {
  return process::ProcessCheck::CheckRunningProcess(process.imagePath, process.processId, process.startTime);
}

std::string suspendedLine(const std::string& name, const std::string& threat) {
  return name + ", a running process, is found as malicious. Suspsending: " + threat;
}

std::string notSuspendedLine(const std::string& name, const std::string& threat) {
  return name + ", a running process, is found as malicious but could not be suspended: " + threat;
}

// The log holds one line, that the process could not be suspended, with the system's reason
// after it: on Linux that the process is gone; on Windows, whichever of "the identifier names no
// process" or "the process has ended" the system saw first.
void expectNotSuspended(const std::string& name, const std::string& threat) {
  const auto messages = logMessages();
  ASSERT_EQ(messages.size(), 1u);
  const std::string prefix = notSuspendedLine(name, threat) + ": ";
#ifdef _WIN32
  EXPECT_TRUE(messages[0].starts_with(prefix) && messages[0].size() > prefix.size()) << messages[0];
#else
  EXPECT_EQ(messages[0], prefix + platform::errorText(ESRCH));
#endif
}

class ProcessCheckTest : public ::testing::Test {
 protected:
  TestEnvironment environment;
  const std::string name = uniqueName("MixedCase Tool");
  const std::string path = environment.root() / name;
};

// Cases that hold whichever way the process is signalled.
class ProcessCheckPaths : public ProcessCheckTest, public ::testing::WithParamInterface<SignalPath> {
 protected:
  ScopedSignalPath signalPath{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Paths, ProcessCheckPaths, ::testing::ValuesIn(signalPaths()), signalPathName);

}  // namespace

TEST_F(ProcessCheckTest, HitIsLoggedWithTheNameAsWrittenAndSuspended) {
  writeReferenceDatabase({{name, "Adware.Mixed (v2)"}});
  ChildProcess child(path);
  const auto verdict = check(listed(child));
  EXPECT_EQ(verdict.status, "Adware.Mixed (v2)");
  EXPECT_EQ(verdict.action, "Application Suspended");
  EXPECT_TRUE(child.waitForState('T'));
  EXPECT_EQ(logMessages(), std::vector<std::string>{suspendedLine(name, "Adware.Mixed (v2)")});
}

TEST_F(ProcessCheckTest, CleanProcessIsLeftAlone) {
  writeReferenceDatabase({{"OTHER.EXE", "Other"}});
  ChildProcess child(path);
  const auto verdict = check(listed(child));
  EXPECT_EQ(verdict.status, "No");
  EXPECT_EQ(verdict.action, "N/A");
  EXPECT_NE(child.state(), 'T');
  EXPECT_TRUE(logMessages().empty());
}

TEST_F(ProcessCheckTest, MissingDatabaseFindsNothing) {
  core::settings::write(core::settings::Key::LogFile, "1");
  const auto verdict = process::ProcessCheck::CheckRunningProcess(path, unusedProcessId(), 0);
  EXPECT_EQ(verdict.status, "No");
  EXPECT_EQ(verdict.action, "N/A");
  EXPECT_TRUE(logMessages().empty());
}

TEST_F(ProcessCheckTest, GoneProcessIsReportedAsNotSuspended) {
  writeReferenceDatabase({{name, "Gone Threat"}});
  const auto verdict = process::ProcessCheck::CheckRunningProcess(path, unusedProcessId(), 0);
  EXPECT_EQ(verdict.status, "Gone Threat");
  EXPECT_EQ(verdict.action, "N/A");
  expectNotSuspended(name, "Gone Threat");
}

TEST_F(ProcessCheckTest, OwnProcessShowsTheThreatButIsNeverSuspended) {
#ifdef _WIN32
  GTEST_SKIP() << "runs the check in a forked copy of the test; the rule is the same code on every system";
#else
  writeReferenceDatabase({{name, "Threat Self"}});
  // Run in a forked copy: should the check stop its own process, the copy is seen stopped and killed.
  const int code = exitCodeInChild([&] {
    const auto self = platform::processInfo(platform::currentProcessId());
    const auto verdict =
        process::ProcessCheck::CheckRunningProcess(path, platform::currentProcessId(), self ? self->startTime : 0);
    return verdict.status == "Threat Self" && verdict.action == "N/A" ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(logMessages().empty());
#endif
}

TEST_P(ProcessCheckPaths, ProcessEndedBeforeTheSuspensionIsReportedAsNotSuspended) {
  writeReferenceDatabase({{name, "Ended Threat"}});
  ChildProcess child(path, 1);
  const platform::ProcessInfo process = listed(child);
  child.stop();
  const auto verdict = check(process);
  EXPECT_EQ(verdict.status, "Ended Threat");
  EXPECT_EQ(verdict.action, "N/A");
  expectNotSuspended(name, "Ended Threat");
}

TEST_P(ProcessCheckPaths, IdentifierReusedAfterTheListingIsLeftAlone) {
#ifdef _WIN32
  GTEST_SKIP() << "needs a private PID namespace to reuse an identifier at will; Linux only";
#else
  if (geteuid() != 0)
    GTEST_SKIP() << "needs root for a private PID namespace, where an identifier can be reused at will";
  writeReferenceDatabase({{name, "Reused Threat"}});
  const std::string innocentPath = environment.root() / "innocent.bin";
  // In the namespace: the threat is listed, ends, and an innocent program gets its identifier
  // before the check acts on the listing.
  const int code = exitCodeInPidNamespace([&] {
    ChildProcess threat(path);
    const platform::ProcessInfo process = listed(threat);
    threat.stop();
    if (!setNextProcessId(static_cast<pid_t>(process.processId))) return 2;
    ChildProcess innocent(innocentPath);
    if (innocent.pid() != process.processId) return 3;
    const auto verdict = check(process);
    if (verdict.status != "Reused Threat" || verdict.action != "N/A") return 4;
    return innocent.stopSent() ? 5 : 0;
  });
  if (code == kNoPidNamespace) GTEST_SKIP() << "the system refuses a private PID namespace";
  EXPECT_EQ(code, 0);
  expectNotSuspended(name, "Reused Threat");
#endif
}

TEST_F(ProcessCheckTest, TheProgramFoldersOwnProgramsAreNeverSuspended) {
  for (const char* program : {core::kMainProgram, core::kWindowProgram, core::kCompanionProgram}) {
    const std::string own = core::programFile(program);
    writeReferenceDatabase({{program, "Listed By Mistake"}});
    ChildProcess child(own);
    const auto verdict = process::ProcessCheck::CheckRunningProcess(own, child.pid(), listed(child).startTime);
    EXPECT_EQ(verdict.status, "Listed By Mistake") << program;
    EXPECT_EQ(verdict.action, "N/A") << program;
    EXPECT_FALSE(child.stopSent()) << program;
  }
  EXPECT_TRUE(logMessages().empty());
}

}  // namespace halvik::process
