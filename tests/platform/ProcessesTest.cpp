#include "platform/Platform.h"
#include "platform/posix/ProcStat.h"
#include "support/ChildProcess.h"
#include "support/PidNamespace.h"
#include "support/SignalPath.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace halvik::platform {

using testing_support::ChildProcess;
using testing_support::ScopedSignalPath;
using testing_support::SignalPath;
using testing_support::TempFolder;

namespace {

std::optional<platform::ProcessInfo> listed(std::uint32_t pid) {
  for (auto& process : platform::listProcesses())
    if (process.processId == pid) return process;
  return std::nullopt;
}

std::string ownImage() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

}  // namespace

TEST(ProcStat, CountsFieldsAfterTheLastParenthesis) {
  const auto fields = platform::procstat::parse(
      "4242 (a) b (c)) S 1 4242 4242 0 -1 4194560 10 0 0 0 1 2 0 0 20 0 1 0 987654 1000 10 18446744073709551615");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->flags, 4194560u);
  EXPECT_EQ(fields->startTime, 987654u);
}

TEST(ProcStat, ReadsTheKernelThreadFlag) {
  const auto fields = platform::procstat::parse(
      "2 (kthreadd) S 0 0 0 0 -1 2129984 0 0 0 0 0 0 0 0 20 0 1 0 5 0 0 18446744073709551615");
  ASSERT_TRUE(fields);
  EXPECT_TRUE(fields->flags & platform::procstat::kKernelThreadFlag);
  EXPECT_EQ(fields->startTime, 5u);
}

TEST(ProcStat, RejectsLinesCutShortOrMalformed) {
  EXPECT_FALSE(platform::procstat::parse(""));
  EXPECT_FALSE(platform::procstat::parse("12 (no closing parenthesis S 1 2 3"));
  EXPECT_FALSE(platform::procstat::parse("12 (x) S 1 12 12 0 -1 4194560 0 0"));
  EXPECT_FALSE(platform::procstat::parse("12 (x) S 1 12 12 0 -1 41x94560 0 0 0 0 0 0 0 0 20 0 1 0 5"));
}

TEST(ListProcesses, AscendingWithOwnImageAndStartTime) {
  const auto processes = platform::listProcesses();
  EXPECT_TRUE(std::is_sorted(processes.begin(), processes.end(),
                             [](const auto& a, const auto& b) { return a.processId < b.processId; }));
  const auto self = listed(platform::currentProcessId());
  ASSERT_TRUE(self);
  EXPECT_EQ(self->imagePath, ownImage());
  EXPECT_GT(self->startTime, 0u);
  for (const auto& process : processes) EXPECT_FALSE(process.imagePath.empty());
}

TEST(ListProcesses, OddImageNamesComeThroughAsBytes) {
  TempFolder folder;
  // Spaces, parentheses, a non-UTF-8 byte and a name longer than the 15 bytes the kernel keeps as comm.
  const std::string image = folder / "odd ) (name \xff with a long tail.bin";
  ChildProcess child(image);
  const auto entry = listed(child.pid());
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->imagePath, image);
  const auto info = platform::processInfo(child.pid());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->imagePath, image);
  EXPECT_EQ(info->startTime, entry->startTime);
  // A second listing gives the same start time.
  EXPECT_EQ(listed(child.pid())->startTime, entry->startTime);
}

TEST(ListProcesses, DeletedImageKeepsItsName) {
  TempFolder folder;
  const std::string image = folder / "gone.bin";
  ChildProcess child(image);
  std::filesystem::remove(image);
  const auto entry = listed(child.pid());
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->imagePath, image);
}

TEST(ListProcesses, TwoProcessesOfOneImage) {
  TempFolder folder;
  const std::string image = folder / "twice.bin";
  ChildProcess first(image);
  ChildProcess second(image);
  const auto a = listed(first.pid());
  const auto b = listed(second.pid());
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->imagePath, image);
  EXPECT_EQ(b->imagePath, image);
}

TEST(ListProcesses, VanishedProcessIsGone) {
  TempFolder folder;
  ChildProcess child(folder / "brief.bin");
  const std::uint32_t pid = child.pid();
  child.stop();
  EXPECT_FALSE(platform::processInfo(pid));
  EXPECT_FALSE(listed(pid));
}

TEST(ListProcesses, UnreadableImagesAreLeftOut) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to switch to another user";
  // A process of another user may not read our image link: as that user, we are not listed.
  const std::uint32_t self = platform::currentProcessId();
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    const auto processes = platform::listProcesses();
    const bool seen =
        std::any_of(processes.begin(), processes.end(), [&](const auto& process) { return process.processId == self; });
    const bool ownListed = platform::processInfo(platform::currentProcessId()).has_value();
    _exit(seen ? 3 : ownListed ? 0 : 4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ThreadSnapshot, HoldsEveryThreadOfAChild) {
  TempFolder folder;
  ChildProcess child(folder / "threads.bin", 3);
  const auto threads = platform::threadSnapshot();
  const auto owned = std::count_if(threads.begin(), threads.end(),
                                   [&](const auto& thread) { return thread.ownerProcessId == child.pid(); });
  EXPECT_EQ(owned, 4);
  EXPECT_TRUE(std::any_of(threads.begin(), threads.end(), [&](const auto& thread) {
    return thread.threadId == child.pid() && thread.ownerProcessId == child.pid();
  }));
}

TEST(Signals, SuspendStopsAndTerminateKills) {
  TempFolder folder;
  ChildProcess child(folder / "target.bin");
  EXPECT_TRUE(platform::suspendThread(child.pid(), child.pid()));
  EXPECT_TRUE(child.waitForState('T'));
  // A stopped process is terminated too.
  EXPECT_TRUE(platform::terminateProcess(child.pid()));
  EXPECT_TRUE(child.waitForEnd());
}

TEST(Signals, ThreadOfAnotherOwnerIsNotSignalled) {
  TempFolder folder;
  ChildProcess first(folder / "first.bin");
  ChildProcess second(folder / "second.bin");
  // The thread does not belong to that owner: nothing is sent to either.
  EXPECT_FALSE(platform::suspendThread(first.pid(), second.pid()));
  EXPECT_NE(first.state(), 'T');
  EXPECT_NE(second.state(), 'T');
}

TEST(Signals, GoneOrInvalidIdentifiersFailQuietly) {
  const std::uint32_t pid = testing_support::unusedProcessId();
  EXPECT_FALSE(platform::processInfo(pid));
  EXPECT_FALSE(platform::terminateProcess(pid));
  EXPECT_FALSE(platform::suspendThread(pid, pid));
  EXPECT_FALSE(platform::suspendThread(0, 0));
  EXPECT_EQ(platform::platformId(), 2);
}

// A process held by identity, through a pidfd and through the re-check where pidfds are missing.
class ProcessHandleTest : public ::testing::TestWithParam<SignalPath> {
 protected:
  ScopedSignalPath signalPath{GetParam()};
  TempFolder folder;
};

INSTANTIATE_TEST_SUITE_P(Paths, ProcessHandleTest, ::testing::ValuesIn(testing_support::signalPaths()),
                         testing_support::signalPathName);

TEST_P(ProcessHandleTest, OpensOnlyTheJudgedProcessAndStopsIt) {
  ChildProcess child(folder / "judged.bin", 2);
  const auto judged = platform::processInfo(child.pid());
  ASSERT_TRUE(judged);
  auto startedLater = *judged;
  startedLater.startTime += 1;
  auto otherImage = *judged;
  otherImage.imagePath = folder / "other.bin";
  EXPECT_FALSE(platform::ProcessHandle::open(startedLater).valid());
  EXPECT_FALSE(platform::ProcessHandle::open(otherImage).valid());
  EXPECT_FALSE(platform::ProcessHandle::open(platform::ProcessInfo{0, judged->imagePath, judged->startTime}).valid());
  EXPECT_FALSE(child.stopSent());

  const auto handle = platform::ProcessHandle::open(*judged);
  ASSERT_TRUE(handle.valid());
  EXPECT_EQ(handle.processId(), child.pid());
  EXPECT_TRUE(handle.suspendThread(child.pid()));
  EXPECT_TRUE(child.waitForEveryThread('T'));
}

TEST_P(ProcessHandleTest, EndedProcessIsNeverSignalled) {
  ChildProcess child(folder / "ended.bin");
  const auto judged = platform::processInfo(child.pid());
  ASSERT_TRUE(judged);
  const auto handle = platform::ProcessHandle::open(*judged);
  ASSERT_TRUE(handle.valid());
  // Ended but not yet reaped: the identifier still names the dead process, which a signal reaches
  // without effect.
  kill(static_cast<pid_t>(child.pid()), SIGKILL);
  ASSERT_TRUE(child.waitForState('Z'));
  EXPECT_FALSE(handle.suspendThread(judged->processId));
  EXPECT_FALSE(platform::ProcessHandle::open(*judged).valid());
  child.stop();
  EXPECT_FALSE(handle.suspendThread(judged->processId));
  EXPECT_FALSE(platform::ProcessHandle::open(*judged).valid());
  EXPECT_FALSE(platform::ProcessHandle().suspendThread(judged->processId));
}

TEST_P(ProcessHandleTest, IdentifierReusedAfterTheOpenIsNotSignalled) {
  if (geteuid() != 0)
    GTEST_SKIP() << "needs root for a private PID namespace, where an identifier can be reused at will";
  const int code = testing_support::exitCodeInPidNamespace([&] {
    ChildProcess judged(folder / "judged.bin");
    const auto info = platform::processInfo(judged.pid());
    if (!info) return 2;
    const auto handle = platform::ProcessHandle::open(*info);
    if (!handle.valid()) return 3;
    judged.stop();
    if (!testing_support::setNextProcessId(static_cast<pid_t>(info->processId))) return 4;
    ChildProcess innocent(folder / "innocent.bin");
    if (innocent.pid() != info->processId) return 5;
    if (handle.suspendThread(innocent.pid())) return 6;
    return innocent.stopSent() ? 7 : 0;
  });
  if (code == testing_support::kNoPidNamespace) GTEST_SKIP() << "the system refuses a private PID namespace";
  EXPECT_EQ(code, 0);
}

// Without /proc the program folder comes from the name the program was started by, resolved;
// it is never the working folder, where anyone may have left a signature database.
TEST(ProgramFolder, WithoutProcItIsStillTheExecutablesFolderNeverTheWorkingOne) {
  const std::string expected = programFolder();
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(expected.front(), '/');
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr int kNoPrivateMounts = 77;
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
      _exit(kNoPrivateMounts);
    _exit(std::filesystem::exists("/proc/self/exe") ? 3 : programFolder() == expected ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "the system refuses a private mount namespace";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace halvik::platform
