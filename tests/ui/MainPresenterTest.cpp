#include "ui/MainPresenter.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "engine/SignatureDb.h"
#include "quarantine/QuarantineStore.h"
#include "support/ScanFixture.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvik::ui {

using testing_support::TestEnvironment;

namespace {

const char* nameOf(StatusValue value) {
  switch (value) {
    case StatusValue::LastSystemScan: return "LastSystemScan";
    case StatusValue::ObjectsRemoved: return "ObjectsRemoved";
    case StatusValue::TotalScans: return "TotalScans";
    case StatusValue::QuarantineCount: return "QuarantineCount";
  }
  return "?";
}

// Records every call the logic makes, in order, as one line each.
class FakeView : public MainView {
 public:
  void listQuarantineFolder(const std::string& folder) override { calls.push_back("list " + folder); }
  void loadMonitor() override { calls.push_back("start monitor"); }
  void showMonitorStatus(const std::string& text, const TextColour& colour) override {
    calls.push_back("monitor " + text + " " + std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
                    std::to_string(colour.blue));
  }
  void showSignatures(const std::string& text, const TextColour& colour) override {
    calls.push_back("signatures " + text + " " + std::to_string(colour.red));
  }
  void showStatusValue(StatusValue value, const std::string& text) override {
    calls.push_back(std::string(nameOf(value)) + " " + text);
  }
  void showPage(int index) override { calls.push_back("page " + std::to_string(index)); }
  void fillQuarantineList() override { calls.push_back("fill"); }
  void showSettings() override { calls.push_back("settings"); }
  void openWebSite(const std::string& address) override { calls.push_back("web " + address); }

  std::vector<std::string> calls;
};

class MainPresenterTest : public testing::Test {
 protected:
  TestEnvironment locations;
  FakeView view;
  MainPresenter logic{view};
};

using Calls = std::vector<std::string>;

TEST_F(MainPresenterTest, FirstLoadRunsItsStepsInOrder) {
  testing_support::writeFile(core::programFile("scan.dll"),
                             "[Signatures]\r\nVersion=2026120701\r\n[Scanfiles]\r\nA.EXE=A\r\nB.EXE=B\r\n");
  logic.load();

  const std::string folder = quarantine::QuarantineFolder();
  EXPECT_EQ(view.calls,
            (Calls{"list " + folder, "monitor Non charg\u00E9 255,0,0", "signatures version 2026120701, 2 noms 0",
                   "LastSystemScan Jamais", "ObjectsRemoved 0", "TotalScans 0", "QuarantineCount 0"}));
  EXPECT_EQ(logic.CurrentFrame(), 0);
  EXPECT_EQ(engine::SignatureDb.Path(), core::programFile("scan.dll"));
}

TEST_F(MainPresenterTest, WithoutAValidSetTheSignaturesAreUnreadableInRedAndLogged) {
  core::settings::write(core::settings::Key::LogFile, "1");
  logic.load();
  EXPECT_EQ(view.calls.at(2), "signatures illisibles 255");
  EXPECT_EQ(testing_support::logLinesWith(
                "No valid signature set (shipped set: scan.dll: missing; REFERENCE_6-27-03.dat: missing)"),
            1);
}

TEST_F(MainPresenterTest, OnlyAnExactOneStartsTheMonitor) {
  for (const char* stored : {"1", "0", " 1", "1 ", "oui", ""}) {
    SCOPED_TRACE(stored);
    ASSERT_TRUE(core::settings::write(core::settings::Key::LoadAdMonitor, stored));
    view.calls.clear();
    logic.load();
    const bool on = std::string(stored) == "1";
    ASSERT_GE(view.calls.size(), 3u);
    EXPECT_EQ(view.calls[1] == "start monitor", on);
    EXPECT_EQ(view.calls[on ? 2 : 1], on ? "monitor charg\u00E9 0,0,0" : "monitor Non charg\u00E9 255,0,0");
  }
}

TEST_F(MainPresenterTest, CountersAreShownAsStoredAndTheCountFollowsTheFolder) {
  ASSERT_TRUE(core::settings::write(core::settings::Key::LastSystemScan, "06/12/2026"));
  ASSERT_TRUE(core::settings::write(core::settings::Key::TotalObjectsRemoved, "12abc\xE9"));
  // The scan driver writes "Totalscans"; the status page reads "TotalScans": one value.
  ASSERT_TRUE(core::SettingsStore::SaveSetting(core::kProgramTitle, "Status", "Totalscans", "41"));
  quarantine::EnsureQuarantineFolder();
  for (const char* name : {"a.exe.aaq", "B.DLL.AAQ", "notes.txt"})
    testing_support::writeFile(quarantine::QuarantineFolder() + "/" + name, "x");
  logic.load();

  const Calls tail(view.calls.end() - 4, view.calls.end());
  EXPECT_EQ(tail,
            (Calls{"LastSystemScan 06/12/2026", "ObjectsRemoved 12abc\xE9", "TotalScans 41", "QuarantineCount 2"}));
  testing_support::writeFile(quarantine::QuarantineFolder() + "/c.exe.aaq", "x");
  logic.refreshQuarantineCount();
  EXPECT_EQ(view.calls.back(), "QuarantineCount 3");
}

TEST_F(MainPresenterTest, PageSwitchIgnoresTheCurrentPageAndRefillsTheQuarantineOnEntry) {
  const std::string list = "list " + quarantine::QuarantineFolder();
  for (int index : {0, -1, 5, 3, 3, 4, 4, 0, 4}) logic.SetCurrentFrame(index);
  EXPECT_EQ(view.calls, (Calls{"page 3", "page 4", list, "fill", "page 0", "page 4", list, "fill"}));
  EXPECT_EQ(logic.CurrentFrame(), 4);
}

TEST_F(MainPresenterTest, PictureButtonsOpenTheirTargets) {
  for (int index = 0; index <= 5; ++index) logic.imgButton_Click(index);
  EXPECT_EQ(view.calls, (Calls{"web http://www.orvento.example/", "settings", "page 4",
                               "list " + quarantine::QuarantineFolder(), "fill", "page 3"}));
  EXPECT_EQ(logic.CurrentFrame(), 3);
}

}  // namespace

}  // namespace halvik::ui
