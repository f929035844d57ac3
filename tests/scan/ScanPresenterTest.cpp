#include "scan/ScanPresenter.h"

#include "core/Settings.h"
#include "platform/Platform.h"
#include "platform/SystemText.h"
#include "support/ScanFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>

#endif

namespace halvik::scan {

namespace {
using namespace testing_support;
namespace fs = std::filesystem;

class FakeResultsView : public FakeScanViewOf<scan::ScanView> {
 public:
  void clearResults() override { ++cleared; }
  std::vector<std::string> drives() const override { return driveList; }
  void setOperation(const std::string& text) override { operations.push_back(text); }
  void finishResults() override { finished = true; }
  void yield() override {
    ++yields;
    if (onYield) onYield();
  }

  int cleared = 0;
  std::vector<std::string> driveList;
  std::vector<std::string> operations;
  bool finished = false;
  int yields = 0;
  std::function<void()> onYield;
};

class FakeStatus : public core::StatusCounters {
 public:
  void showTotalScans(const std::string& total) override { totalScans = total; }
  void showObjectsRemoved(const std::string&) override {}
  void refreshQuarantineCount() override {}

  std::string totalScans;
};

std::string todaysLog() {
  std::string all;
  const std::string logs = core::programFile("Logs");
  if (fs::exists(logs))
    for (const auto& file : fs::directory_iterator(logs)) all += readFile(file.path().string());
  return all;
}

class ScanPresenterTest : public ScanFixture {
 protected:
  void SetUp() override {
    useDatabase({"evil.exe=Demo"});
    core::settings::write(core::settings::Key::LogFile, "1");
    savedFolder = scan::CustomScanFolder();
    for (const char* drive : {"c", "d", "e"}) {
      fs::create_directory(tree / drive);
      writeFile(tree / (std::string(drive) + "/evil.exe"), "x");
    }
    view.driveList = {tree / "c", tree / "d", tree / "e"};
  }
  void TearDown() override {
    scan::setCustomScanFolder(savedFolder);
    ScanFixture::TearDown();
  }

  // One click of "Suivant" on a page whose results window is `view`.
  void runScan(scan::ScanMode mode) {
    scan::ScanPresenter presenter(status, [this] {
      ++reopened;
      return [this]() -> scan::ScanView* { return &view; };
    });
    presenter.run(mode);
  }

  FakeResultsView view;
  FakeStatus status;
  int reopened = 0;
  std::string savedFolder;
};

TEST_F(ScanPresenterTest, EveryClickCountsTheScanAndOpensAFreshClearedWindow) {
  core::settings::write(core::settings::Key::TotalScans, "41");
  scan::setCustomScanFolder(tree / "c");
  runScan(scan::ScanMode::CustomFolder);
  EXPECT_EQ(status.totalScans, "42");
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalScans), "42");
  EXPECT_EQ(reopened, 1);
  EXPECT_EQ(view.cleared, 1);
  EXPECT_EQ(engine::SignatureDb.Section(), "SCANFILES");

  core::settings::write(core::settings::Key::TotalScans, "not a number");
  runScan(scan::ScanMode::CustomFolder);
  EXPECT_EQ(status.totalScans, "1");
}

TEST_F(ScanPresenterTest, AllDrivesWalksEveryDriveWithItsLogLinesAndCaptions) {
#ifdef _WIN32
  GTEST_SKIP() << "the Linux drive captions; Windows drive roots are upper-cased and end in a backslash";
#else
  runScan(scan::ScanMode::AllDrives);
  EXPECT_EQ(view.hits.size(), 3u);
  EXPECT_EQ(view.operations,
            (std::vector<std::string>{"Scanner tous les lecteurs...", "Lecteur Scanné " + tree / "c",
                                      "Lecteur Scanné " + tree / "d", "Lecteur Scanné " + tree / "e", "Terminé"}));
  EXPECT_EQ(view.curFile, "-Sacn Terminé-");
  EXPECT_TRUE(view.finished);
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), 1);  // the counters restart with each drive
  EXPECT_EQ(core::settings::read(core::settings::Key::LastSystemScan), platform::shortDate());
  const std::string log = todaysLog();
  EXPECT_NE(log.find("Scanning all drives..."), std::string::npos);
  EXPECT_NE(log.find("Scanning drive " + tree / "d"), std::string::npos);
  EXPECT_NE(log.find("Scan Complete!"), std::string::npos);
#endif
}

TEST_F(ScanPresenterTest, AnnulerEndsTheWholeScanButTheClosingStepsRun) {
#ifdef _WIN32
  GTEST_SKIP() << "the Linux drive captions; Windows drive roots are upper-cased and end in a backslash";
#else
  view.onYield = [this] {
    if (!view.hits.empty()) engine::mScanFiles::setScanRunning(false);
  };
  runScan(scan::ScanMode::AllDrives);
  EXPECT_EQ(view.hits.size(), 1u);
  EXPECT_EQ(view.operations.back(), "Terminé");
  EXPECT_EQ(view.operations[view.operations.size() - 2], "Lecteur Scanné " + tree / "c");
  EXPECT_EQ(view.curFile, "-Sacn Terminé-");
  EXPECT_TRUE(view.finished);
#endif
}

// The page's results window may be destroyed from inside a yield: the scan then stops and its
// closing steps go nowhere.
TEST_F(ScanPresenterTest, AWindowDestroyedWhileTheWalkYieldsStopsTheScanAndIsNotTouchedAgain) {
  bool destroyed = false;
  view.onYield = [&] { destroyed = destroyed || !view.hits.empty(); };
  scan::ScanPresenter presenter(status,
                                [&] { return [&]() -> scan::ScanView* { return destroyed ? nullptr : &view; }; });
  presenter.run(scan::ScanMode::AllDrives);
  EXPECT_EQ(view.hits.size(), 1u);
  EXPECT_FALSE(view.finished);
  EXPECT_EQ(view.curFile.find("Sacn"), std::string::npos);
  EXPECT_EQ(status.totalScans, "1");
}

TEST_F(ScanPresenterTest, CustomFolderIsWalked) {
  scan::setCustomScanFolder(tree / "d");
  runScan(scan::ScanMode::CustomFolder);
  ASSERT_EQ(view.hits.size(), 1u);
  EXPECT_EQ(view.hits[0].second, tree / "d/evil.exe");
  EXPECT_EQ(view.operations, (std::vector<std::string>{"Scanner " + tree / "d", platform::systemText("Terminé")}));
  EXPECT_EQ(view.curFile, platform::systemText("-Scan Terminé-"));
  EXPECT_NE(todaysLog().find("Scanning " + tree / "d"), std::string::npos);
}

TEST_F(ScanPresenterTest, CancelledChoiceWalksNothingAndEndsLikeAnyScan) {
  core::settings::write(core::settings::Key::TotalScans, "5");
  scan::setCustomScanFolder("(CANCEL)");
  runScan(scan::ScanMode::CustomFolder);
  EXPECT_TRUE(view.hits.empty());
  EXPECT_EQ(status.totalScans, "6");
  EXPECT_EQ(view.operations, (std::vector<std::string>{"Scanner (CANCEL)", platform::systemText("Terminé")}));
  EXPECT_EQ(view.curFile, platform::systemText("-Scan Terminé-"));
  EXPECT_TRUE(view.finished);
  const std::string log = todaysLog();
  EXPECT_NE(log.find("Scanning (CANCEL)"), std::string::npos);
  EXPECT_NE(log.find("Scan Complete!"), std::string::npos);
}

TEST_F(ScanPresenterTest, TheEndLineCountsTheFoldersNoDriveCouldOpen) {
#ifdef _WIN32
  GTEST_SKIP() << "folder permission bits are POSIX";
#else
  for (const char* drive : {"c", "e"}) {
    fs::create_directory(tree / (std::string(drive) + "/locked"));
    ASSERT_EQ(chmod((tree / (std::string(drive) + "/locked")).c_str(), 0), 0);
  }
  // Without the rights that let the superuser read any folder, as a user runs the program.
  EXPECT_TRUE(inProcessWithoutOverrides([&] {
    runScan(scan::ScanMode::AllDrives);
    return todaysLog().find("Scan Complete! Dossiers illisibles: 2") != std::string::npos;
  }));
  for (const char* drive : {"c", "e"}) chmod((tree / (std::string(drive) + "/locked")).c_str(), 0700);
  scan::setCustomScanFolder(tree / "d");
  runScan(scan::ScanMode::CustomFolder);
  EXPECT_NE(todaysLog().find("Scan Complete! Dossiers illisibles: 0"), std::string::npos);
#endif
}

TEST_F(ScanPresenterTest, QuickScanWalksTheWindowsFolder) {
  environment->windowsFolder = [this] { return tree / "e"; };
  runScan(scan::ScanMode::QuickScan);
  ASSERT_EQ(view.hits.size(), 1u);
  EXPECT_EQ(view.hits[0].second, tree / "e/evil.exe");
  EXPECT_EQ(view.operations, (std::vector<std::string>{"Scan Windows", platform::systemText("Terminé")}));
  EXPECT_EQ(view.curFile, platform::systemText("-Scan Terminé-"));
  EXPECT_NE(todaysLog().find("Scanning Quick Search"), std::string::npos);
}

}  // namespace

}  // namespace halvik::scan
