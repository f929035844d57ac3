#include "scan/RepairPass.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "engine/mScanFiles.h"
#include "quarantine/QuarantineStore.h"
#include "support/ScanFixture.h"
#include "support/TestEnvironment.h"
#include "support/WalkedHits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#ifndef _WIN32
#include <unistd.h>

#endif

namespace halvik::scan {

namespace {
using namespace testing_support;
namespace fs = std::filesystem;

struct Row {
  bool checked = true;
  int image = scan::kImageFound;
  engine::mScanFiles::Hit hit;
};

class FakeRepairView : public scan::RepairView {
 public:
  int rowCount() const override { return static_cast<int>(rows.size()); }
  bool rowChecked(int row) const override { return rows[row].checked; }
  int rowImage(int row) const override { return rows[row].image; }
  engine::mScanFiles::Hit rowHit(int row) const override { return rows[row].hit; }
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
  // A row for the entry `path` as a scan of the tree sees it.
  void addRow(const std::string& path, bool checked = true) {
    view.rows.push_back(Row{checked, scan::kImageFound, walkedHit(tree.path(), path)});
  }

  TestEnvironment environment;
  TempFolder tree;
  FakeRepairView view;
};

TEST_F(RepairPassTest, EmptyListHidesTheWindowAndDoesNothingElse) {
  engine::mScanFiles::setScanRunning(true);
  scan::RunRepair(view);
  EXPECT_TRUE(view.hidden);
  EXPECT_TRUE(view.listTag.empty());
  EXPECT_FALSE(engine::mScanFiles::ScanRunning());
}

TEST_F(RepairPassTest, WithoutQuarantineTickedFilesAreDeletedAndCounted) {
  core::settings::write(core::settings::Key::Quarintine, "0");
  core::settings::write(core::settings::Key::TotalObjectsRemoved, "7");
  for (const char* name : {"a.exe", "b.exe", "caf\xE9.exe"}) addRow(file(name));
  scan::RunRepair(view);
  for (const auto& row : view.rows) {
    EXPECT_EQ(row.image, scan::kImageRemoved);
    EXPECT_FALSE(fs::exists(row.hit.path));
  }
  EXPECT_EQ(view.shownTotals, (std::vector<std::string>{"8", "9", "10"}));
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalObjectsRemoved), "10");
  EXPECT_TRUE(quarantine::ListQuarantine().empty());
  EXPECT_EQ(view.listTag, "FIXED");
  EXPECT_FALSE(view.hidden);
  EXPECT_EQ(view.quarantineRefreshes, 1);
}

TEST_F(RepairPassTest, WithQuarantineACopyIsKeptBeforeTheDeletion) {
  core::settings::write(core::settings::Key::Quarintine, "1");
  addRow(file("evil.exe", "exact bytes"));
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageRemoved);
  EXPECT_FALSE(fs::exists(tree / "evil.exe"));
  EXPECT_EQ(readFile(quarantine::QuarantineFolder() + "/evil.exe.aaq"), "exact bytes");
  const auto record = quarantine::QuarantineRecordOf("evil.exe.aaq");
  ASSERT_TRUE(record) << "the copy's record names the row's path and threat";
  EXPECT_EQ(record->originalPath, tree / "evil.exe");
  EXPECT_EQ(record->threatName, view.rows[0].hit.threatName);
}

TEST_F(RepairPassTest, OnlyTheExactValueOneAsksForQuarantine) {
  core::settings::write(core::settings::Key::Quarintine, "yes");
  addRow(file("evil.exe"));
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageRemoved);
  EXPECT_TRUE(quarantine::ListQuarantine().empty());
}

TEST_F(RepairPassTest, FailedQuarantineCopyKeepsTheFile) {
  core::settings::write(core::settings::Key::Quarintine, "1");
  writeFile(quarantine::QuarantineFolder(), "a file where the quarantine folder should be");
  addRow(file("evil.exe"));
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageFailed);
  EXPECT_TRUE(fs::exists(tree / "evil.exe"));
  EXPECT_TRUE(view.shownTotals.empty());
}

TEST_F(RepairPassTest, VanishedFileIsShownGoneButNotCountedAsRemoved) {
  addRow(file("gone.exe"));
  fs::remove(tree / "gone.exe");
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageRemoved);
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalObjectsRemoved), "0") << "nothing was removed";
}

TEST_F(RepairPassTest, FolderIsNeverDeletedAndLinkIsRemovedNotItsTarget) {
#ifdef _WIN32
  GTEST_SKIP() << "makes a symbolic link, which needs a privilege on Windows";
#else
  core::settings::write(core::settings::Key::Quarintine, "0");
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
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalObjectsRemoved), "2");
}

TEST_F(RepairPassTest, FailedDeletionOfAnEmptyFileKeepsItsRowFailed) {
#ifdef _WIN32
  GTEST_SKIP() << "makes the deletion fail with folder permission bits, which are POSIX";
#else
  fs::create_directory(tree / "locked");
  writeFile(tree / "locked/empty.exe", "");
  addRow(tree / "locked/empty.exe");
  ASSERT_EQ(chmod((tree / "locked").c_str(), 0555), 0);
  EXPECT_TRUE(inProcessWithoutOverrides([&] {
    scan::RunRepair(view);
    return view.rows[0].image == scan::kImageFailed && view.shownTotals.empty();
  }));
  EXPECT_TRUE(fs::exists(tree / "locked/empty.exe"));
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalObjectsRemoved), "0");
#endif
}

// ---- What changed between the walk and the repair is never acted on ----

// A tree walked before each case changes it: "sub/evil.exe" in the scanned tree, and a file of
// the same name in a folder outside it, which no repair may ever read or delete.
class RepairGateTest : public RepairPassTest {
 protected:
  void SetUp() override {
    core::settings::write(core::settings::Key::LogFile, "1");
    fs::create_directory(tree / "sub");
    fs::create_directory(outside / "sub");
    file("sub/evil.exe", "scanned");
    writeFile(outside / "sub/evil.exe", "outside");
    addRow(tree / "sub/evil.exe");
    ASSERT_TRUE(view.rows[0].hit.entry.has_value());
  }

  // Repairs with and without a quarantine copy asked for; each time the row fails, the log says
  // why and nothing outside the tree, nor in the quarantine, is touched.
  void expectNothingTouched(const std::string& stillThere) {
    for (const char* quarantine : {"1", "0"}) {
      core::settings::write(core::settings::Key::Quarintine, quarantine);
      view.rows[0].image = scan::kImageFound;
      scan::RunRepair(view);
      EXPECT_EQ(view.rows[0].image, scan::kImageFailed) << "Quarintine=" << quarantine;
      EXPECT_EQ(readFile(outside / "sub/evil.exe"), "outside");
      EXPECT_TRUE(fs::exists(fs::symlink_status(stillThere)));
    }
    EXPECT_TRUE(quarantine::ListQuarantine().empty());
    EXPECT_TRUE(view.shownTotals.empty());
    EXPECT_EQ(logLinesWith(tree / "sub/evil.exe was not removed: it changed since the scan"), 2);
  }

  TempFolder outside;
};

TEST_F(RepairGateTest, FileReplacedByAnotherFileIsKept) {
  // Moved aside rather than deleted: a deleted file's number may be given to the next file.
  fs::rename(tree / "sub/evil.exe", tree / "sub/moved.exe");
  writeFile(tree / "sub/evil.exe", "a newer file");
  expectNothingTouched(tree / "sub/evil.exe");
  EXPECT_EQ(readFile(tree / "sub/evil.exe"), "a newer file");
}

TEST_F(RepairGateTest, FolderReplacedByAnotherFolderIsNotEntered) {
  fs::rename(tree / "sub", tree / "moved");
  fs::create_directory(tree / "sub");
  writeFile(tree / "sub/evil.exe", "another folder's file");
  expectNothingTouched(tree / "sub/evil.exe");
  EXPECT_EQ(readFile(tree / "moved/evil.exe"), "scanned");
}

TEST_F(RepairGateTest, RootReplacedByAnotherFolderIsNotEntered) {
  const std::string moved = tree.path() + ".moved";
  fs::rename(tree.path(), moved);
  fs::create_directories(tree / "sub");
  writeFile(tree / "sub/evil.exe", "another tree's file");
  expectNothingTouched(tree / "sub/evil.exe");
  EXPECT_EQ(readFile(moved + "/sub/evil.exe"), "scanned");
  fs::remove_all(moved);
}

#ifndef _WIN32
TEST_F(RepairGateTest, FolderReplacedByALinkIsNeverFollowed) {
  fs::rename(tree / "sub", tree / "moved");
  fs::create_directory_symlink(outside / "sub", tree / "sub");
  expectNothingTouched(tree / "sub");
  EXPECT_EQ(readFile(tree / "moved/evil.exe"), "scanned");
}

TEST_F(RepairGateTest, FileReplacedByALinkIsNeitherReadNorRemoved) {
  fs::remove(tree / "sub/evil.exe");
  fs::create_symlink(outside / "sub/evil.exe", tree / "sub/evil.exe");
  expectNothingTouched(tree / "sub/evil.exe");
  EXPECT_TRUE(fs::is_symlink(tree / "sub/evil.exe"));
}

TEST_F(RepairGateTest, FolderReplacedByABindMountIsNotEntered) {
  if (geteuid() != 0) GTEST_SKIP() << "a bind mount needs root";
  core::settings::write(core::settings::Key::Quarintine, "1");
  const auto result = withBindMounts({{outside / "sub", tree / "sub"}}, [&] {
    scan::RunRepair(view);
    return view.rows[0].image == scan::kImageFailed && readFile(outside / "sub/evil.exe") == "outside" &&
           quarantine::ListQuarantine().empty();
  });
  if (result == MountedCheck::Refused) GTEST_SKIP() << "this system refuses a private mount namespace";
  EXPECT_EQ(result, MountedCheck::Passed);
  EXPECT_EQ(readFile(tree / "sub/evil.exe"), "scanned");
  EXPECT_EQ(logLinesWith(tree / "sub/evil.exe was not removed: it changed since the scan"), 1);
}

TEST_F(RepairPassTest, FlaggedLinkIsKeptWhenACopyIsAskedFor) {
  core::settings::write(core::settings::Key::Quarintine, "1");
  const std::string target = file("target.exe", "target bytes");
  fs::create_symlink(target, tree / "link.exe");
  addRow(tree / "link.exe");
  scan::RunRepair(view);
  EXPECT_EQ(view.rows[0].image, scan::kImageFailed);
  EXPECT_TRUE(fs::is_symlink(tree / "link.exe"));
  EXPECT_EQ(readFile(target), "target bytes");
  EXPECT_TRUE(quarantine::ListQuarantine().empty());
  EXPECT_TRUE(view.shownTotals.empty());
}
#endif

}  // namespace

}  // namespace halvik::scan
