#include "scan/RepairPass.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "engine/mScanFiles.h"
#include "quarantine/QuarantineStore.h"
#include "../engine/ScanFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {
using namespace testing_support;
namespace fs = std::filesystem;

struct Row {
  bool checked = true;
  int image = scan::kImageFound;
  std::string path;
  std::string threat = "Spy.Test";
};

class FakeRepairView : public scan::RepairView {
 public:
  int rowCount() const override { return static_cast<int>(rows.size()); }
  bool rowChecked(int row) const override { return rows[row].checked; }
  int rowImage(int row) const override { return rows[row].image; }
  std::string rowPath(int row) const override { return rows[row].path; }
  std::string rowThreat(int row) const override { return rows[row].threat; }
  void setRowImage(int row, int image) override { rows[row].image = image; }
  std::string tag() const override { return listTag; }
  void setTag(const std::string& tag) override { listTag = tag; }
  void hide() override { hidden = true; }
  void showObjectsRemoved(const std::string& total) override { shownTotals.push_back(total); }
  void quarantineChanged() override { ++quarantineRefreshes; }

  std::vector<Row> rows;
  std::string listTag;
  bool hidden = false;
  std::vector<std::string> shownTotals;
  int quarantineRefreshes = 0;
};

class RepairPassTest : public ::testing::Test {
 protected:
  std::string file(const std::string& name, const std::string& bytes = "payload") {
    writeFile(tree / name, bytes);
    return tree / name;
  }
  void addRow(const std::string& path, bool checked = true) { view.rows.push_back(Row{checked, scan::kImageFound, path}); }

  ScopedLocations locations;
  TempFolder tree;
  FakeRepairView view;
};

TEST_F(RepairPassTest, EmptyListHidesTheWindowAndDoesNothingElse) {
  mScanFiles::setScanRunning(true);
  scan::RunRepair(view);
  EXPECT_TRUE(view.hidden);
  EXPECT_TRUE(view.listTag.empty());
  EXPECT_FALSE(mScanFiles::ScanRunning());
}

TEST_F(RepairPassTest, WithoutQuarantineTickedFilesAreDeletedAndCounted) {
  settings::write(settings::TotalObjectsRemoved, "7");
  for (const char* name : {"a.exe", "b.exe", "caf\xE9.exe"}) addRow(file(name));
  scan::RunRepair(view);
  for (const auto& row : view.rows) {
    EXPECT_EQ(row.image, scan::kImageRemoved);
    EXPECT_FALSE(fs::exists(row.path));
  }
  EXPECT_EQ(view.shownTotals, (std::vector<std::string>{"8", "9", "10"}));
  EXPECT_EQ(settings::read(settings::TotalObjectsRemoved), "10");
  EXPECT_TRUE(ListQuarantine().empty());
  EXPECT_EQ(view.listTag, "FIXED");
  EXPECT_FALSE(view.hidden);
  EXPECT_EQ(view.quarantineRefreshes, 1);
}

TEST_F(RepairPassTest, WithQuarantineACopyIsKeptBeforeTheDeletion) {
  settings::write(settings::Quarintine, "1");
  addRow(file("evil.exe", "exact bytes"));
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageRemoved);
  EXPECT_FALSE(fs::exists(tree / "evil.exe"));
  EXPECT_EQ(readFile(QuarantineFolder() + "/evil.exe.aaq"), "exact bytes");
  const auto record = QuarantineRecordOf("evil.exe.aaq");
  ASSERT_TRUE(record) << "the copy's record names the row's path and threat";
  EXPECT_EQ(record->originalPath, tree / "evil.exe");
  EXPECT_EQ(record->threatName, "Spy.Test");
}

TEST_F(RepairPassTest, OnlyTheExactValueOneAsksForQuarantine) {
  settings::write(settings::Quarintine, "yes");
  addRow(file("evil.exe"));
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageRemoved);
  EXPECT_TRUE(ListQuarantine().empty());
}

TEST_F(RepairPassTest, FailedQuarantineCopyKeepsTheFile) {
  settings::write(settings::Quarintine, "1");
  writeFile(QuarantineFolder(), "a file where the quarantine folder should be");
  addRow(file("evil.exe"));
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageFailed);
  EXPECT_TRUE(fs::exists(tree / "evil.exe"));
  EXPECT_TRUE(view.shownTotals.empty());
}

TEST_F(RepairPassTest, VanishedFileCountsAsRemoved) {
  addRow(tree / "gone.exe");
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageRemoved);
  EXPECT_EQ(settings::read(settings::TotalObjectsRemoved), "1");
}

TEST_F(RepairPassTest, FolderIsNeverDeletedAndLinkIsRemovedNotItsTarget) {
#ifdef _WIN32
  GTEST_SKIP() << "makes a symbolic link, which needs a privilege on Windows";
#else
  fs::create_directories(tree / "EvilDir/inside");
  const std::string target = file("target.exe");
  fs::create_symlink(target, tree / "link.exe");
  fs::create_directory_symlink(tree / "EvilDir", tree / "dirlink");
  addRow(tree / "EvilDir");
  addRow(tree / "link.exe");
  addRow(tree / "dirlink");
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageFailed);
  EXPECT_TRUE(fs::exists(tree / "EvilDir/inside"));
  EXPECT_EQ(view.rows[1].image, scan::kImageRemoved);
  EXPECT_FALSE(fs::is_symlink(tree / "link.exe"));
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(view.rows[2].image, scan::kImageRemoved);
  EXPECT_TRUE(fs::exists(tree / "EvilDir/inside"));
#endif
}

TEST_F(RepairPassTest, UntickedAndHandledRowsAreLeftAlone) {
  addRow(file("kept.exe"), false);
  addRow(file("failed.exe"));
  view.rows.back().image = scan::kImageFailed;
  addRow(file("removed.exe"));
  view.rows.back().image = scan::kImageRemoved;
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageFound);
  EXPECT_EQ(view.rows[1].image, scan::kImageFailed);
  EXPECT_EQ(view.rows[2].image, scan::kImageRemoved);
  for (const char* name : {"kept.exe", "failed.exe", "removed.exe"}) EXPECT_TRUE(fs::exists(tree / name));
  EXPECT_TRUE(view.shownTotals.empty());
}

TEST_F(RepairPassTest, SecondSuivantHidesThenDeletesNewlyTickedRows) {
  addRow(file("first.exe"));
  addRow(file("later.exe"), false);
  scan::RunRepair(view);
  EXPECT_FALSE(view.hidden);
  EXPECT_TRUE(fs::exists(tree / "later.exe"));

  view.rows[1].checked = true;
  scan::RunRepair(view);
  EXPECT_TRUE(view.hidden);
  EXPECT_EQ(view.listTag, "FIXED");
  EXPECT_EQ(view.rows[1].image, scan::kImageRemoved);
  EXPECT_FALSE(fs::exists(tree / "later.exe"));
  EXPECT_EQ(settings::read(settings::TotalObjectsRemoved), "2");
}

TEST_F(RepairPassTest, FailedDeletionOfAnEmptyFileKeepsItsRowFailed) {
#ifdef _WIN32
  GTEST_SKIP() << "makes the deletion fail with folder permission bits, which are POSIX";
#else
  fs::create_directory(tree / "locked");
  addRow(tree / "locked/empty.exe");
  writeFile(view.rows[0].path, "");
  ASSERT_EQ(chmod((tree / "locked").c_str(), 0555), 0);
  EXPECT_TRUE(inProcessWithoutOverrides([&] {
    scan::RunRepair(view);
    return view.rows[0].image == scan::kImageFailed && view.shownTotals.empty();
  }));
  EXPECT_TRUE(fs::exists(tree / "locked/empty.exe"));
  EXPECT_EQ(settings::read(settings::TotalObjectsRemoved), "0");
#endif
}

}  // namespace
