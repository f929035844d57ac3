#include "quarantine/QuarantinePresenter.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "quarantine/QuarantineStore.h"
#include "support/QuarantineFile.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace halvik::quarantine {

using testing_support::readFile;
using testing_support::TestEnvironment;
using testing_support::writeFile;

namespace {

// Records what the logic does to the page; the selection and the dialog's answer are set by the test.
class FakeView : public QuarantineView {
 public:
  void clearRows() override { rows.clear(); }
  void addRow(const QuarantineRow& row) override { rows.push_back(row); }
  std::optional<std::string> selectedStoredName() const override { return selected; }
  void removeSelectedRow() override { ++removedRows; }
  std::optional<std::string> askRestorePath(const std::string& proposed) override {
    askedFor.push_back(proposed);
    return answer;
  }
  void quarantineChanged() override { ++changes; }

  std::vector<QuarantineRow> rows;
  std::optional<std::string> selected;
  std::optional<std::string> answer;
  std::vector<std::string> askedFor;
  int removedRows = 0;
  int changes = 0;
};

class QuarantinePresenterTest : public testing::Test {
 protected:
  QuarantinePresenterTest() {
    for (const char* database : {"scan.dll", "REFERENCE_6-27-03.dat"})
      writeFile(core::programFile(database), "[Scanfiles]\r\nBAD.DLL=Trojan.BadDll\r\n");
    EnsureQuarantineFolder();
  }

  std::string stored(const std::string& name) const { return QuarantineFolder() + "/" + name; }

  TestEnvironment environment;
  FakeView view;
  QuarantinePresenter logic{view};
};

TEST_F(QuarantinePresenterTest, ListsStoredFilesInNameOrderWithThreatAndSizeAndNoLogLine) {
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  writeFile(stored("zeta.txt.aaq"), "");
  writeFile(stored("bad.dll.aaq"), std::string(123456, 'x'));
  view.rows.push_back({"stale", "", "0"});

  logic.fill();

  ASSERT_EQ(view.rows.size(), 2u);
  EXPECT_EQ(view.rows[0].storedName, "bad.dll.aaq");
  EXPECT_EQ(view.rows[0].threatName, "Trojan.BadDll");
  EXPECT_EQ(view.rows[0].size, "123456");
  EXPECT_EQ(view.rows[1].storedName, "zeta.txt.aaq");
  EXPECT_EQ(view.rows[1].threatName, "");
  EXPECT_EQ(view.rows[1].size, "0");
  EXPECT_FALSE(std::filesystem::exists(core::programFile("Logs")));
}

TEST_F(QuarantinePresenterTest, CommandsWithoutAStoredNameDoNothing) {
  writeFile(stored("a.exe.aaq"), "a");
  for (const auto& selection : {std::optional<std::string>(), std::optional<std::string>("")}) {
    view.selected = selection;
    view.answer = environment.root() / "out";
    logic.restoreSelected();
    logic.deleteSelected();
  }
  EXPECT_TRUE(view.askedFor.empty());
  EXPECT_EQ(view.removedRows, 0);
  EXPECT_EQ(view.changes, 0);
  EXPECT_EQ(readFile(stored("a.exe.aaq")), "a");
}

TEST_F(QuarantinePresenterTest, RestoreOntoTheStoredFileItselfIsRefused) {
#ifdef _WIN32
  GTEST_SKIP() << "makes a symbolic link, which needs a privilege on Windows";
#else
  writeFile(stored("a.exe.aaq"), "payload");
  std::filesystem::create_directory_symlink(QuarantineFolder(), environment.root() / "link");
  view.selected = "a.exe.aaq";
  for (const std::string& destination : {stored("a.exe.aaq"), environment.root() / "link/a.exe.aaq"}) {
    view.answer = destination;
    logic.restoreSelected();
  }
  EXPECT_EQ(view.askedFor, (std::vector<std::string>{"a.exe", "a.exe"}));
  EXPECT_EQ(readFile(stored("a.exe.aaq")), "payload");
  EXPECT_EQ(view.removedRows, 0);
  EXPECT_EQ(view.changes, 0);
#endif
}

TEST_F(QuarantinePresenterTest, NumberedCopiesShowAndProposeTheNameTheyWereDetectedUnder) {
  writeFile(stored("bad (2).dll.aaq"), "second");
  writeFile(stored("report (2).pdf.aaq"), "not a numbered copy of a threat");
  logic.fill();
  ASSERT_EQ(view.rows.size(), 2u);
  EXPECT_EQ(view.rows[0].storedName, "bad (2).dll.aaq");
  EXPECT_EQ(view.rows[0].threatName, "Trojan.BadDll");
  EXPECT_EQ(view.rows[1].threatName, "");

  for (const char* storedName : {"bad (2).dll.aaq", "report (2).pdf.aaq"}) {
    view.selected = storedName;
    logic.restoreSelected();
  }
  EXPECT_EQ(view.askedFor, (std::vector<std::string>{"bad.dll", "report (2).pdf"}));
}

TEST_F(QuarantinePresenterTest, ARecordedCopyProposesItsOriginalFullPath) {
  const std::string source = environment.root() / "docs/bad.dll";
  std::filesystem::create_directories(environment.root() / "docs");
  writeFile(source, "payload");
  ASSERT_TRUE(testing_support::quarantineFile(source, "Trojan.BadDll"));
  writeFile(stored("other.dll.aaq"), "dropped by hand");
  ASSERT_TRUE(quarantine::writeQuarantineRecord(QuarantineFolder(), "other.dll.aaq",
                                                {"/left/from/an/earlier/copy", std::nullopt, 1, 0, ""}));

  for (const char* storedName : {"bad.dll.aaq", "other.dll.aaq"}) {
    view.selected = storedName;
    logic.restoreSelected();
  }
  EXPECT_EQ(view.askedFor, (std::vector<std::string>{source, "other.dll"}))
      << "a record of another size is not the copy's";
}

}  // namespace

}  // namespace halvik::quarantine
