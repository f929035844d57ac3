#include "watch/WatchSettingsPresenter.h"

#include "core/Settings.h"
#include "support/TestEnvironment.h"
#include "support/Unprivileged.h"
#include "watch/WatchedFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace halvik::watch {
namespace {
using namespace testing_support;
using core::settings::Key;

class FakeSettingsView : public WatchSettingsView {
 public:
  void showFolders(const std::vector<std::string>& shown) override { list = shown; }
  std::vector<std::string> folders() const override { return list; }
  int selectedFolder() const override { return selected; }
  void showSwitches(bool watch, bool automatic) override {
    watching = watch;
    quarantining = automatic;
  }
  bool watchFiles() const override { return watching; }
  bool autoQuarantine() const override { return quarantining; }
  std::optional<std::string> chooseFolder() override { return chosen; }

  std::vector<std::string> list;
  int selected = -1;
  bool watching = false;
  bool quarantining = true;
  std::optional<std::string> chosen;
};

#ifndef _WIN32
// The user's folders come from a user-dirs.dirs of the test's own.
class WatchSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME"})
      if (const char* value = std::getenv(name)) m_saved.emplace_back(name, value);
    setenv("HOME", m_home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_home / "config").c_str(), 1);
    std::filesystem::create_directories(m_home / "config");
    writeFile(m_home / "config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
              "XDG_DOWNLOAD_DIR=\"$HOME/T\u00E9l\u00E9chargements\"\n");
  }
  void TearDown() override {
    unsetenv("XDG_CONFIG_HOME");
    for (const auto& [name, value] : m_saved) setenv(name.c_str(), value.c_str(), 1);
  }

  TestEnvironment m_environment;
  TempFolder m_home;
  std::vector<std::pair<std::string, std::string>> m_saved;
  FakeSettingsView m_view;
  WatchSettingsPresenter m_presenter{m_view};
};

TEST_F(WatchSettingsTest, DefaultsComeFromUserDirsAndTheHomeFolderIsWatchedAlone) {
  // A user's defaults: as root every local file system is one instead.
  asAUser([&] {
    m_presenter.load();
    ASSERT_EQ(m_view.list.size(), 8u);
    EXPECT_EQ(m_view.list[0], m_home / "T\u00E9l\u00E9chargements");
    EXPECT_EQ(m_view.list[1], m_home / "Bureau");
    EXPECT_EQ(m_view.list[2], m_home / "config/autostart");
    EXPECT_TRUE(m_view.watching) << "on by default";
    EXPECT_FALSE(m_view.quarantining);
    const auto folders = watchedFolders();
    EXPECT_EQ(folders.back().path, m_home.path());
    EXPECT_FALSE(folders.back().subfolders);
  });
}

TEST_F(WatchSettingsTest, AddedAndRemovedFoldersAreStoredEncodedAndTheDefaultsAsNothing) {
  // A user's defaults: as root every local file system is one instead.
  asAUser([&] {
    m_presenter.load();
    m_view.chosen = "/srv/a;b %";
    m_presenter.addFolder();
    m_presenter.addFolder();  // the same folder once
    m_view.selected = 0;
    m_presenter.removeFolder();
    m_view.watching = false;
    m_view.quarantining = true;
    m_presenter.save();
    EXPECT_EQ(core::settings::read(Key::WatchFiles), "0");
    EXPECT_EQ(core::settings::read(Key::AutoQuarantine), "1");
    const auto folders = watchedFolders();
    ASSERT_EQ(folders.size(), 8u);
    EXPECT_EQ(folders.back().path, "/srv/a;b %");
    EXPECT_TRUE(folders.back().subfolders);
    EXPECT_FALSE(folders[6].subfolders) << "the home folder stays alone";

    core::settings::write(Key::WatchFolders, "");
    m_presenter.load();
    m_presenter.save();  // the defaults are stored as nothing, so that later defaults apply
    EXPECT_EQ(core::settings::read(Key::WatchFolders), "");
  });
}
#endif

}  // namespace
}  // namespace halvik::watch
