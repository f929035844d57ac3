#include "process/ProcessListView.h"
#include "process/mProcess.h"
#include "process/mdlProcess.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

namespace halvik::process {

using namespace testing_support;

namespace {

struct Row {
  std::string path;
  std::string status;
  std::string action;
  std::uint32_t processId = 0;
  std::uint64_t startTime = 0;
};

class FakeView : public ProcessListView {
 public:
  void clear() override {
    rows.clear();
    ++clears;
  }
  int addRow(const std::string& imagePath) override {
    rows.push_back(Row{imagePath, {}, {}, 0, 0});
    return static_cast<int>(rows.size()) - 1;
  }
  void setSubItems(int row, const std::string& status, const std::string& action) override {
    rows.at(static_cast<std::size_t>(row)).status = status;
    rows.at(static_cast<std::size_t>(row)).action = action;
  }
  void setTag(int row, std::uint32_t processId, std::uint64_t startTime) override {
    rows.at(static_cast<std::size_t>(row)).processId = processId;
    rows.at(static_cast<std::size_t>(row)).startTime = startTime;
  }

  const Row* rowOf(std::uint32_t pid) const {
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const Row& row) { return row.processId == pid; });
    return it == rows.end() ? nullptr : &*it;
  }

  std::vector<Row> rows;
  int clears = 0;
};

std::string suspendedLine(const std::string& name, const std::string& threat) {
  return name + ", a running process, is found as malicious. Suspsending: " + threat;
}

class Monitor : public ::testing::Test {
 protected:
  TestEnvironment environment;
  const std::string threatName = uniqueName("Spy Ware");
  const std::string threatPath = environment.root() / threatName;
  const std::string cleanPath = environment.root() / uniqueName("clean");
};

}  // namespace

TEST_F(Monitor, ListThreadsSnapshotsEveryThread) {
  ChildProcess child(threatPath, 2);
  const int last = process::mdlProcess::ListThreads(child.pid());
  ASSERT_GE(last, 2);
  const auto& threads = process::mdlProcess::ThreadList();
  EXPECT_EQ(static_cast<std::size_t>(last), threads.size() - 1);
  EXPECT_EQ(std::count_if(threads.begin(), threads.end(),
                          [&](const auto& t) { return t.ownerProcessId == child.pid(); }),
            3);
  // The snapshot is not narrowed to the process: this test's own thread is there too.
  EXPECT_TRUE(std::any_of(threads.begin(), threads.end(),
                          [](const auto& t) { return t.ownerProcessId == platform::currentProcessId(); }));
}

TEST_F(Monitor, SuspendProcessStopsEveryThreadOfThatProcessOnly) {
  ChildProcess target(threatPath, 3);
  ChildProcess bystander(cleanPath, 1);
  EXPECT_TRUE(process::mdlProcess::SuspendProcess(*platform::processInfo(target.pid())));
  EXPECT_TRUE(target.waitForEveryThread('T'));
  EXPECT_NE(bystander.state(), 'T');
}

TEST_F(Monitor, SuspendingAGoneProcessIsQuietAndReported) {
  EXPECT_FALSE(process::mdlProcess::SuspendProcess(platform::ProcessInfo{unusedProcessId(), cleanPath, 1}));
  process::mProcess::KillProcess(unusedProcessId());
}

TEST_F(Monitor, SuspendsOnlyTheProcessJudged) {
  ChildProcess target(threatPath, 1);
  auto startedLater = *platform::processInfo(target.pid());
  startedLater.startTime += 1;
  EXPECT_FALSE(process::mdlProcess::SuspendProcess(startedLater));
  EXPECT_FALSE(target.stopSent());
}

TEST_F(Monitor, NeverSuspendsItself) {
#ifdef _WIN32
  GTEST_SKIP() << "runs the check in a forked copy of the test; the rule is the same code on every system";
#else
  EXPECT_EQ(exitCodeInChild([] {
              return process::mdlProcess::SuspendProcess(*platform::processInfo(platform::currentProcessId())) ? 1 : 0;
            }),
            0);
#endif
}

TEST_F(Monitor, ListProcessesCarriesIdentifierPathAndStartTime) {
  ChildProcess child(cleanPath);
  const auto entries = process::mProcess::ListProcesses();
  const auto it =
      std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.ProcessId == child.pid(); });
  ASSERT_NE(it, entries.end());
  EXPECT_EQ(it->ImagePath, cleanPath);
  EXPECT_EQ(it->StartTime, platform::processInfo(child.pid())->startTime);
}

TEST_F(Monitor, RefreshMarksLogsAndSuspendsThreatsOnly) {
  writeReferenceDatabase({{threatName, "Threat Alpha"}});
  ChildProcess threat(threatPath, 2);
  ChildProcess clean(cleanPath);
  FakeView view;
  view.rows.push_back(Row{"stale", "x", "y", 1, 1});
  process::mProcess::RefreshProcessList(view);

  EXPECT_EQ(view.clears, 1);
  EXPECT_EQ(std::count_if(view.rows.begin(), view.rows.end(), [](const Row& r) { return r.path == "stale"; }), 0);
  EXPECT_TRUE(std::is_sorted(view.rows.begin(), view.rows.end(),
                             [](const Row& a, const Row& b) { return a.processId < b.processId; }));
  const Row* bad = view.rowOf(threat.pid());
  ASSERT_TRUE(bad);
  EXPECT_EQ(bad->path, threatPath);
  EXPECT_EQ(bad->status, "Threat Alpha");
  EXPECT_EQ(bad->action, "Application Suspended");
  EXPECT_EQ(bad->startTime, platform::processInfo(threat.pid())->startTime);
  EXPECT_TRUE(threat.waitForState('T'));

  const Row* good = view.rowOf(clean.pid());
  ASSERT_TRUE(good);
  EXPECT_EQ(good->status, "No");
  EXPECT_EQ(good->action, "N/A");
  EXPECT_NE(clean.state(), 'T');

  const auto log = logMessages();
  EXPECT_EQ(countOf(log, suspendedLine(threatName, "Threat Alpha")), 1);
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(Monitor, EveryTickSuspendsAgainAndEachProcessIsLoggedOnce) {
  writeReferenceDatabase({{threatName, "Threat Beta"}});
  auto threat = std::make_unique<ChildProcess>(threatPath);
  FakeView view;
  process::mProcess::RefreshProcessList(view);
  ASSERT_TRUE(threat->waitForState('T'));
  threat->resume();
  ASSERT_TRUE(threat->waitForState('S'));
  process::mProcess::RefreshProcessList(view);
  EXPECT_TRUE(threat->waitForState('T'));
  process::mProcess::RefreshProcessList(view);
  EXPECT_EQ(countOf(logMessages(), suspendedLine(threatName, "Threat Beta")), 1) << "one line per process";
  threat = std::make_unique<ChildProcess>(threatPath);  // another process of the same image
  process::mProcess::RefreshProcessList(view);
  EXPECT_TRUE(threat->waitForState('T'));
  EXPECT_EQ(countOf(logMessages(), suspendedLine(threatName, "Threat Beta")), 2);
}

TEST_F(Monitor, TwoProcessesOfOneImageAreBothHandled) {
  writeReferenceDatabase({{threatName, "Threat Gamma"}});
  ChildProcess first(threatPath);
  ChildProcess second(threatPath);
  FakeView view;
  process::mProcess::RefreshProcessList(view);
  for (const ChildProcess* child : {&first, &second}) {
    const Row* row = view.rowOf(child->pid());
    ASSERT_TRUE(row);
    EXPECT_EQ(row->status, "Threat Gamma");
    EXPECT_EQ(row->action, "Application Suspended");
    EXPECT_TRUE(child->waitForState('T'));
  }
  EXPECT_EQ(countOf(logMessages(), suspendedLine(threatName, "Threat Gamma")), 2);
}

TEST_F(Monitor, RefusalOnTheWindows95FamilyListsNothing) {
  writeReferenceDatabase({{threatName, "Threat Delta"}});
  ChildProcess threat(threatPath);
  int refusals = 0;
  environment->refusalHook = [&] { ++refusals; };
  environment->platformId = 1;
  EXPECT_EQ(process::mProcess::GetPlatformId(), 1);
  FakeView view;
  view.rows.push_back(Row{"kept", "No", "N/A", 1, 1});
  process::mProcess::RefreshProcessList(view);
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(view.clears, 0);
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_NE(threat.state(), 'T');
  EXPECT_TRUE(logMessages().empty());

  environment->platformId = platform::platformId();
  EXPECT_EQ(process::mProcess::CheckPlatform(), 2);
  EXPECT_EQ(refusals, 1);
}

TEST_F(Monitor, AnyOtherPlatformKeepsTheRowsAndListsAfterThem) {
  writeReferenceDatabase({{threatName, "Threat Epsilon"}});
  ChildProcess threat(threatPath);
  int refusals = 0;
  environment->refusalHook = [&] { ++refusals; };
  for (const std::uint16_t platformId : {0, 3}) {
    environment->platformId = platformId;
    FakeView view;
    view.rows.push_back(Row{"kept", "No", "N/A", 1, 1});
    process::mProcess::RefreshProcessList(view);
    EXPECT_EQ(view.clears, 0);
    ASSERT_GT(view.rows.size(), 1u);
    EXPECT_EQ(view.rows.front().path, "kept");
    const Row* bad = view.rowOf(threat.pid());
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->action, "Application Suspended");
  }
  EXPECT_EQ(refusals, 0);
  EXPECT_TRUE(threat.waitForState('T'));
  EXPECT_EQ(countOf(logMessages(), suspendedLine(threatName, "Threat Epsilon")), 1) << "once per process";
}

TEST_F(Monitor, RefusalWithoutAWindowEndsTheProgram) {
  environment->platformId = 1;
  EXPECT_EXIT(process::mProcess::CheckPlatform(), ::testing::ExitedWithCode(0), "");
}

}  // namespace halvik::process
