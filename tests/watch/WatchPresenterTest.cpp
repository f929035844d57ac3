#include "watch/WatchPresenter.h"

#include "core/Settings.h"
#include "quarantine/QuarantineStore.h"
#include "support/QuarantineFile.h"
#include "support/TestEnvironment.h"
#include "support/WalkedHits.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace halvik::watch {
namespace {
using namespace testing_support;
namespace fs = std::filesystem;

struct Notice {
  std::string title;
  std::string body;
  bool withActions = false;
};

class FakeWatchView : public WatchView {
 public:
  std::uint32_t showNotice(const std::string& title, const std::string& body, bool withActions) override {
    notices.push_back({title, body, withActions});
    return static_cast<std::uint32_t>(notices.size());
  }
  std::vector<Notice> notices;
};

class WatchPresenterTest : public testing::Test {
 protected:
  engine::mScanFiles::Hit plant(const std::string& name) {
    writeFile(tree / name, "payload");
    return walkedHit(tree.path(), tree / name);
  }

  TestEnvironment environment;
  TempFolder tree;
  FakeWatchView view;
  WatchPresenter presenter{view};
};

TEST_F(WatchPresenterTest, OneNoticeWithTheActionsAndQuarantineStoresAndRemoves) {
  const auto hit = plant("evil.exe");
  presenter.found(hit);
  presenter.found(hit);
  ASSERT_EQ(view.notices.size(), 1u);
  EXPECT_EQ(view.notices[0].title, "DEMO d\u00E9tect\u00E9");
  EXPECT_EQ(view.notices[0].body, tree / "evil.exe");
  EXPECT_TRUE(view.notices[0].withActions);
  presenter.quarantineChosen(1);
  presenter.quarantineChosen(1);  // a second click on the same notice does nothing
  EXPECT_FALSE(fs::exists(tree / "evil.exe"));
  ASSERT_EQ(quarantine::ListQuarantine().size(), 1u);
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalObjectsRemoved), "1");
  ASSERT_EQ(view.notices.size(), 2u);
  EXPECT_EQ(view.notices[1].body, tree / "evil.exe" + " \u2014 Mis en quarantaine.");
}

TEST_F(WatchPresenterTest, AReplacedFileIsLeftAlone) {
  const auto hit = plant("evil.exe");
  presenter.found(hit);
  fs::remove(tree / "evil.exe");
  writeFile(tree / "other", "another file");
  fs::rename(tree / "other", tree / "evil.exe");
  presenter.quarantineChosen(1);
  EXPECT_EQ(readFile(tree / "evil.exe"), "another file");
  EXPECT_TRUE(quarantine::ListQuarantine().empty());
  EXPECT_EQ(view.notices.back().body,
            tree / "evil.exe" + " \u2014 Le fichier a chang\u00E9 : il n'a pas \u00E9t\u00E9 touch\u00E9.");
}

TEST_F(WatchPresenterTest, IgnoredAndRestoredFilesAreNeverNoticedAgain) {
  const auto ignored = plant("ignored.exe");
  presenter.found(ignored);
  presenter.ignoreChosen(1);
  EXPECT_TRUE(fs::exists(tree / "ignored.exe"));

  writeFile(tree / "restored.exe", "a false positive");
  ASSERT_TRUE(quarantineFile(tree / "restored.exe"));
  fs::remove(tree / "restored.exe");
  ASSERT_TRUE(quarantine::RestoreFromQuarantine(quarantine::ListQuarantine().at(0).storedName, tree / "restored.exe"));

  WatchPresenter later(view);  // another run of the companion
  later.found(ignored);
  later.found(walkedHit(tree.path(), tree / "restored.exe"));
  EXPECT_EQ(view.notices.size(), 1u);
}

TEST_F(WatchPresenterTest, AutomaticQuarantineActsAtOnceAndTheLimitIsToldOnce) {
  core::settings::write(core::settings::Key::AutoQuarantine, "1");
  presenter.found(plant("evil.exe"));
  EXPECT_FALSE(fs::exists(tree / "evil.exe"));
  ASSERT_EQ(view.notices.size(), 1u);
  EXPECT_FALSE(view.notices[0].withActions);
  EXPECT_EQ(view.notices[0].body, tree / "evil.exe" + " \u2014 Mis en quarantaine.");
  presenter.limitReached();
  presenter.limitReached();
  EXPECT_EQ(view.notices.size(), 2u);
}

}  // namespace
}  // namespace halvik::watch
