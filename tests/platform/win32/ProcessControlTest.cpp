// Process listing, suspension and termination on the Windows API, against helper processes
// that the tests start themselves.
#include "platform/Platform.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>
#include <memory>

namespace halvik::platform {

namespace {
using testing_support::ChildProcess;
using testing_support::suspendCount;

// Where the copies of the helper program run from.
const testing_support::TempFolder& programs() {
  static const testing_support::TempFolder folder;
  return folder;
}
const std::string kImage = programs() / "halvik child.exe";

std::optional<platform::ProcessInfo> listed(std::uint32_t processId) {
  for (auto& process : platform::listProcesses())
    if (process.processId == processId) return process;
  return std::nullopt;
}

std::vector<DWORD> allProcessIds() {
  std::vector<DWORD> ids(4096);
  DWORD bytes = 0;
  if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return {};
  ids.resize(bytes / sizeof(DWORD));
  return ids;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                                b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

TEST(ProcessList, ShowsEveryCopyOfAnImageWithItsPathAndStartTime) {
  ChildProcess first(kImage), second(kImage);
  const auto processes = platform::listProcesses();
  ASSERT_TRUE(std::is_sorted(processes.begin(), processes.end(),
                             [](const auto& a, const auto& b) { return a.processId < b.processId; }));
  const auto a = listed(first.pid());
  const auto b = listed(second.pid());
  ASSERT_TRUE(a && b);
  EXPECT_TRUE(equalsIgnoringCase(a->imagePath, kImage)) << a->imagePath;
  EXPECT_EQ(a->imagePath, b->imagePath);
  EXPECT_NE(a->startTime, 0u);

  FILETIME created, exited, kernel, user;
  ASSERT_TRUE(GetProcessTimes(first.handle(), &created, &exited, &kernel, &user));
  EXPECT_EQ(a->startTime, (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime);

  const auto one = platform::processInfo(first.pid());
  ASSERT_TRUE(one);
  EXPECT_EQ(one->imagePath, a->imagePath);
  EXPECT_EQ(one->startTime, a->startTime);
  EXPECT_TRUE(listed(platform::currentProcessId()));
}

TEST(ProcessList, LeavesOutAProcessThatHasEnded) {
  std::uint32_t id = 0;
  {
    ChildProcess child(kImage);
    id = child.pid();
  }
  EXPECT_FALSE(platform::processInfo(id));
  EXPECT_FALSE(listed(id));
}

// The identifier buffer doubles while a call fills it: with exactly 8 or 16 processes the
// full buffer is enlarged once more and nobody is lost. Only checkable where few processes
// run (Wine lists only its own); elsewhere the case is skipped.
TEST(ProcessList, CountsExactlyWhenTheBufferFillsCompletely) {
  if (allProcessIds().size() > 8)
    GTEST_SKIP() << "more than 8 processes run already; needs a quiet system such as Wine";
  std::vector<std::unique_ptr<ChildProcess>> children;
  for (const std::size_t exact : {std::size_t{8}, std::size_t{16}}) {
    while (allProcessIds().size() < exact) children.push_back(std::make_unique<ChildProcess>(kImage));
    const auto ids = allProcessIds();
    ASSERT_EQ(ids.size(), exact);
    const auto processes = platform::listProcesses();
    for (const auto& child : children)
      EXPECT_TRUE(std::any_of(processes.begin(), processes.end(),
                              [&](const auto& process) { return process.processId == child->pid(); }))
          << "child " << child->pid() << " missing with " << exact << " processes";
  }
}

TEST(Suspension, SuspendsEveryThreadOfTheTargetOnlyAndCountsUp) {
  ChildProcess target(kImage, 3), bystander(kImage, 2);
  const auto threads = target.threadIds();
  ASSERT_EQ(threads.size(), 4u);
  for (const auto thread : threads) EXPECT_TRUE(platform::suspendThread(target.pid(), thread));
  for (const auto thread : threads) EXPECT_EQ(suspendCount(thread), 1u);
  for (const auto thread : bystander.threadIds()) EXPECT_EQ(suspendCount(thread), 0u);

  // A second refresh suspends the same threads again: the counts rise to two.
  for (const auto thread : threads) EXPECT_TRUE(platform::suspendThread(target.pid(), thread));
  for (const auto thread : threads) {
    HANDLE handle = OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread);
    ASSERT_TRUE(handle);
    EXPECT_EQ(ResumeThread(handle), 2u);  // the count before the resume
    EXPECT_EQ(SuspendThread(handle), 1u);
    CloseHandle(handle);
  }
}

TEST(Suspension, RefusesAThreadOfAnotherProcessOrOneThatIsGone) {
  ChildProcess target(kImage, 1), other(kImage, 1);
  const auto otherThread = other.threadIds().front();
  EXPECT_FALSE(platform::suspendThread(target.pid(), otherThread));
  EXPECT_EQ(suspendCount(otherThread), 0u);

  std::uint32_t goneThread = 0, goneProcess = 0;
  {
    ChildProcess child(kImage);
    goneThread = child.threadIds().front();
    goneProcess = child.pid();
  }
  EXPECT_FALSE(platform::suspendThread(goneProcess, goneThread));
}

TEST(ProcessHandle, OpensOnlyTheJudgedProcessAndSuspendsItsThreads) {
  ChildProcess child(kImage, 2), other(kImage);
  const auto judged = platform::processInfo(child.pid());
  ASSERT_TRUE(judged);
  auto startedLater = *judged;
  startedLater.startTime += 1;
  auto otherImage = *judged;
  otherImage.imagePath = programs() / "another program.exe";
  EXPECT_FALSE(platform::ProcessHandle::open(startedLater).valid());
  EXPECT_FALSE(platform::ProcessHandle::open(otherImage).valid());

  const auto handle = platform::ProcessHandle::open(*judged);
  ASSERT_TRUE(handle.valid());
  EXPECT_EQ(handle.processId(), child.pid());
  for (const auto thread : child.threadIds()) EXPECT_TRUE(handle.suspendThread(thread));
  for (const auto thread : child.threadIds()) EXPECT_EQ(suspendCount(thread), 1u);
  // A thread of another process is not one of its own.
  EXPECT_FALSE(handle.suspendThread(other.threadIds().front()));
  EXPECT_FALSE(other.stopSent());
}

TEST(ProcessHandle, EndedProcessIsNeverSuspended) {
  ChildProcess child(kImage);
  const auto judged = platform::processInfo(child.pid());
  ASSERT_TRUE(judged);
  const auto handle = platform::ProcessHandle::open(*judged);
  ASSERT_TRUE(handle.valid());
  const auto thread = child.threadIds().front();
  child.stop();
  EXPECT_FALSE(handle.suspendThread(thread));
  EXPECT_FALSE(platform::ProcessHandle::open(*judged).valid());
}

TEST(Termination, EndsASuspendedProcessWithExitCodeZero) {
  ChildProcess child(kImage, 2);
  for (const auto thread : child.threadIds()) platform::suspendThread(child.pid(), thread);
  EXPECT_TRUE(platform::terminateProcess(child.pid()));
  ASSERT_EQ(WaitForSingleObject(child.handle(), 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  ASSERT_TRUE(GetExitCodeProcess(child.handle(), &code));
  EXPECT_EQ(code, 0u);
}

TEST(Termination, FailsQuietlyForAProcessThatIsGone) {
  std::uint32_t id = 0;
  {
    ChildProcess child(kImage);
    id = child.pid();
  }
  EXPECT_FALSE(platform::terminateProcess(id));
}

TEST(ThreadSnapshot, ListsTheCallingThreadUnderItsProcess) {
  const auto threads = platform::threadSnapshot();
  EXPECT_TRUE(std::any_of(threads.begin(), threads.end(), [](const auto& thread) {
    return thread.threadId == GetCurrentThreadId() && thread.ownerProcessId == platform::currentProcessId();
  }));
}

}  // namespace

}  // namespace halvik::platform
