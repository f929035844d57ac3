#include "core/Locations.h"
#include "core/Settings.h"
#include "core/mMain.h"
#include "platform/Platform.h"
#include "quarantine/QuarantineStore.h"
#include "support/QuarantineFile.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <cstdlib>
#include <sys/stat.h>

#endif

namespace halvik::core {

using testing_support::TempFolder;
using testing_support::TestEnvironment;
using testing_support::writeFile;
namespace fs = std::filesystem;

namespace {
#ifndef _WIN32
unsigned modeOf(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}
#endif
}  // namespace

TEST(Locations, OnlyTheInstalledMarkerFileMovesTheDataFolder) {
  TempFolder program;
  writeFile(program / "scan.dll", "[Scanfiles]\r\n");
  EXPECT_EQ(platform::systemEnvironment(program.path()).dataFolder, "") << "databases beside it make a portable copy";
  fs::create_directory(program / platform::kInstalledMarker);
  EXPECT_EQ(platform::systemEnvironment(program.path()).dataFolder, "") << "a folder is no marker";
  fs::remove(program / platform::kInstalledMarker);
  writeFile(program / platform::kInstalledMarker, "");
  EXPECT_EQ(platform::systemEnvironment(program.path()).dataFolder, platform::defaultDataFolder());
}

TEST(Locations, InstalledCopyWritesLogsAndQuarantineUnderTheDataFolderOnly) {
  TestEnvironment where;
  where->dataFolder = where.root() / "home/share/orvento-halvik";
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  core::mMain::WriteLog("written");
  writeFile(where.root() / "setup.exe", "bytes");
  ASSERT_TRUE(testing_support::quarantineFile(where.root() / "setup.exe"));

  EXPECT_TRUE(fs::is_directory(where->dataFolder + platform::kSeparator + "Logs"));
  ASSERT_EQ(quarantine::ListQuarantine().size(), 1u);
  EXPECT_EQ(quarantine::QuarantineFolder(), where->dataFolder + platform::kSeparator + "Quarintine");
  EXPECT_TRUE(fs::is_empty(where.programFolder())) << "nothing is written beside the executable";
#ifndef _WIN32
  for (const char* level : {"home", "home/share/orvento-halvik", "home/share/orvento-halvik/Quarintine"})
    EXPECT_EQ(modeOf(where.root() / level), 0700u) << level;
#endif
}

#ifndef _WIN32
TEST(Locations, ADataFolderOthersMayWriteIsNeverUsed) {
  TestEnvironment where;
  where->dataFolder = where.root() / "share/orvento-halvik";
  ASSERT_TRUE(platform::createOwnerFolders(where->dataFolder + "/Quarintine"));
  EXPECT_FALSE(core::foreignDataFolder());
  writeFile(where.root() / "setup.exe", "bytes");
  for (const std::string& folder : {where->dataFolder, where->dataFolder + "/Quarintine"}) {
    SCOPED_TRACE(folder);
    ASSERT_EQ(chmod(folder.c_str(), 0770), 0);
    EXPECT_EQ(core::foreignDataFolder(), folder);
    EXPECT_FALSE(testing_support::quarantineFile(where.root() / "setup.exe")) << "no copy into another's folder";
    EXPECT_FALSE(core::createDataSubfolder("Quarintine"));
    ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
  }
  EXPECT_TRUE(fs::is_empty(where->dataFolder + "/Quarintine"));
  EXPECT_FALSE(fs::exists(where->dataFolder + "/Logs"));
}
#endif

TEST(Locations, OwnerFoldersRefuseWhatStandsInTheWay) {
  TempFolder root;
  writeFile(root / "file", "x");
  EXPECT_FALSE(platform::createOwnerFolders(root / "file"));
  EXPECT_FALSE(platform::createOwnerFolders(root / "file/below"));
  EXPECT_TRUE(platform::createOwnerFolders(root / "a/b"));
  EXPECT_TRUE(platform::createOwnerFolders(root / "a/b")) << "an existing folder is fine";
#ifndef _WIN32
  fs::create_directory(root / "elsewhere");
  fs::create_directory_symlink(root / "elsewhere", root / "link");
  EXPECT_FALSE(platform::createOwnerFolders(root / "link")) << "a link as the last level";
  EXPECT_TRUE(platform::createOwnerFolders(root / "link/inner")) << "a link above it is followed";
#endif
}

#ifdef _WIN32
TEST(Locations, WindowsDataFolderIsInTheUsersLocalApplicationData) {
  const std::string folder = platform::defaultDataFolder();
  const std::string tail = "\\Orvento Halvik";
  ASSERT_GT(folder.size(), tail.size());
  EXPECT_EQ(folder.substr(folder.size() - tail.size()), tail);
  EXPECT_TRUE(fs::is_directory(folder.substr(0, folder.size() - tail.size())));
}
#else
TEST(Locations, LinuxDataFolderFollowsXdgDataHome) {
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* savedData = std::getenv("XDG_DATA_HOME");
  const std::string savedDataText = savedData ? savedData : "";
  setenv("HOME", "/home/someone", 1);
  setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(platform::defaultDataFolder(), "/data/home/orvento-halvik");
  setenv("XDG_DATA_HOME", "relative/path", 1);
  EXPECT_EQ(platform::defaultDataFolder(), "/home/someone/.local/share/orvento-halvik");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(platform::defaultDataFolder(), "/home/someone/.local/share/orvento-halvik");
  setenv("HOME", savedHome.c_str(), 1);
  if (savedData) setenv("XDG_DATA_HOME", savedDataText.c_str(), 1);
}
#endif

}  // namespace halvik::core
