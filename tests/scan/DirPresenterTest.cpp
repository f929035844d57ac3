#include "scan/DirPresenter.h"

#include "scan/ScanPresenter.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace halvik::scan {

namespace {
using namespace testing_support;

// A folder list that can list only the folders of `listable`.
class FakeDirView : public DirView {
 public:
  bool openFolder(const std::string& folder) override {
    if (!listable.count(folder)) return false;
    opened = folder;
    return true;
  }
  std::string openedFolder() const override { return opened; }
  void showDrives(const std::vector<std::string>& drives, int selected) override {
    driveList = drives;
    chosen = selected;
  }
  void closeChooser() override { ++closes; }

  std::set<std::string> listable;
  std::string opened = "(none)";
  std::vector<std::string> driveList;
  int chosen = -2;
  int closes = 0;
};

class DirPresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedFolder = CustomScanFolder();
    core::settings::write(core::settings::Key::LogFile, "1");
  }
  void TearDown() override { setCustomScanFolder(savedFolder); }

  void useDrives(std::vector<std::string> drives) {
    locations->drives = [drives] { return drives; };
  }

  TestEnvironment locations;
  std::string savedFolder;
  FakeDirView view;
  DirPresenter presenter{view};
  const std::string current = std::filesystem::current_path().string();
  const std::string root = std::string(1, platform::kSeparator);
};

TEST_F(DirPresenterTest, OpensTheCurrentFolderOrElseTheRootWithTheDriveThatHoldsItChosen) {
  const std::string parent = std::filesystem::path(current).parent_path().string();
  // The longest mount point above the folder holds it; a name that only starts alike does not.
  useDrives({root, parent, parent + "x", current + "x"});
  view.listable = {current};
  presenter.open();
  EXPECT_EQ(view.opened, current);
  EXPECT_EQ(view.driveList.size(), 4u);
  EXPECT_EQ(view.chosen, 1);

  useDrives({current + "x"});
  view.listable = {root};
  presenter.open();
  EXPECT_EQ(view.opened, root);
  EXPECT_EQ(view.chosen, -1);
}

TEST_F(DirPresenterTest, ADriveThatCannotBeListedOrNamesNothingLeavesTheFolderList) {
  useDrives({"/mnt/no-medium", current});
  view.listable = {current, root};
  presenter.open();
  view.opened = root;
  for (int index : {0, -1, 2}) {
    presenter.driveChosen(index);
    EXPECT_EQ(view.opened, root) << index;
  }
  presenter.driveChosen(1);
  EXPECT_EQ(view.opened, current);
}

TEST_F(DirPresenterTest, OkStoresAndLogsTheOpenFolderAnnulerTheMarker) {
  useDrives({});
  view.listable = {current};
  presenter.open();
  presenter.accept();
  EXPECT_EQ(CustomScanFolder(), current);
  EXPECT_EQ(countOf(logMessages(), current + " selected for custom scan"), 1);
  presenter.cancel();
  EXPECT_EQ(CustomScanFolder(), kCancelledChoice);
  EXPECT_EQ(view.closes, 2);
  EXPECT_EQ(logMessages().size(), 1u);
}

}  // namespace

TEST(SortSubfolders, PutsTheDotFoldersAfterTheOthers) {
  std::vector<std::string> names{".local", "b", ".config", "A", "a", "..x"};
  sortSubfolders(names);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "a", "b", "..x", ".config", ".local"}));
}

}  // namespace halvik::scan
