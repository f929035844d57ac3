#include "core/Locations.h"
#include "core/Settings.h"
#include "core/mMain.h"
#include "platform/Platform.h"
#include "quarantine/QuarantineStore.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#ifndef _WIN32
#include <cstdlib>
#include <sys/stat.h>
#endif

using testing_support::ScopedLocations;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

bool isFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(std::filesystem::symlink_status(path, error));
}

#ifndef _WIN32
unsigned modeOf(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

// Sets an environment variable for the life of the object and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedVariable() {
    if (m_old)
      setenv(m_name, m_old->c_str(), 1);
    else
      unsetenv(m_name);
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};
#endif

// Makes the test program folder an installed copy whose data folder is `data`.
void installAt(const std::string& data) {
  core::Locations locations = core::locations();
  locations.dataFolder = data;
  core::setLocations(locations);
}

}  // namespace

TEST(Locations, TheInstalledMarkerAloneMovesTheDataFolder) {
  TempFolder program;
  EXPECT_EQ(core::locationsFor(program.path()).dataFolder, "") << "a build folder or portable copy";
  writeFile(program / "scan.dll", "[Scanfiles]\r\n");
  EXPECT_EQ(core::locationsFor(program.path()).dataFolder, "") << "databases beside it do not make it installed";

  std::filesystem::create_directory(program / core::kInstalledMarker);
  EXPECT_EQ(core::locationsFor(program.path()).dataFolder, "") << "a folder is no marker";
  std::filesystem::remove(program / core::kInstalledMarker);

  writeFile(program / core::kInstalledMarker, "");
  const core::Locations installed = core::locationsFor(program.path());
  EXPECT_EQ(installed.programFolder, program.path());
  EXPECT_EQ(installed.dataFolder, platform::defaultDataFolder());
  EXPECT_NE(installed.dataFolder, program.path());
}

TEST(Locations, PortableCopyKeepsItsFoldersBesideTheExecutable) {
  ScopedLocations where;
  EXPECT_EQ(core::dataSubfolder("Quarintine"), where.programFolder() + platform::kSeparator + "Quarintine");
  ASSERT_TRUE(core::createDataSubfolder("Quarintine"));
  EXPECT_TRUE(isFolder(where.programFolder() + platform::kSeparator + "Quarintine"));
}

TEST(Locations, InstalledCopyWritesLogsAndQuarantineUnderTheDataFolderOnly) {
  ScopedLocations where;
  const std::string data = where.root() / "home/share/orvento-halvik";
  installAt(data);
  ASSERT_TRUE(settings::write(settings::LogFile, "1"));
  mMain::WriteLog("written");
  const std::string source = where.root() / "setup.exe";
  writeFile(source, "bytes");
  ASSERT_TRUE(PutInQuarantine(source));

  EXPECT_TRUE(isFolder(data + platform::kSeparator + "Logs"));
  EXPECT_EQ(QuarantineFolder(), data + platform::kSeparator + "Quarintine");
  ASSERT_EQ(ListQuarantine().size(), 1u);
  EXPECT_EQ(ListQuarantine()[0].storedName, "setup.exe.aaq");
  EXPECT_TRUE(std::filesystem::is_empty(where.programFolder())) << "nothing is written beside the executable";
#ifndef _WIN32
  for (const char* level : {"home", "home/share", "home/share/orvento-halvik", "home/share/orvento-halvik/Logs",
                            "home/share/orvento-halvik/Quarintine"})
    EXPECT_EQ(modeOf(where.root() / level), 0700u) << level;
#endif
}

TEST(Locations, OwnerFoldersRefuseWhatStandsInTheWay) {
  TempFolder root;
  writeFile(root / "file", "x");
  EXPECT_FALSE(platform::createOwnerFolders(root / "file"));
  EXPECT_FALSE(platform::createOwnerFolders(root / "file/below"));
  EXPECT_TRUE(platform::createOwnerFolders(root / "a/b/c"));
  EXPECT_TRUE(platform::createOwnerFolders(root / "a/b/c")) << "an existing folder is fine";
  EXPECT_TRUE(isFolder(root / "a/b/c"));
#ifndef _WIN32
  // An existing folder keeps its mode; a link as the last level is refused and nothing is made
  // where it points.
  std::filesystem::create_directory(root / "open");
  ASSERT_EQ(chmod((root / "open").c_str(), 0755), 0);
  EXPECT_TRUE(platform::createOwnerFolders(root / "open/new"));
  EXPECT_EQ(modeOf(root / "open"), 0755u);
  EXPECT_EQ(modeOf(root / "open/new"), 0700u);
  std::filesystem::create_directory(root / "elsewhere");
  std::filesystem::create_directory_symlink(root / "elsewhere", root / "link");
  EXPECT_FALSE(platform::createOwnerFolders(root / "link"));
  EXPECT_TRUE(platform::createOwnerFolders(root / "link/inner")) << "a link above the last level is followed";
#endif
}

#ifdef _WIN32
TEST(Locations, WindowsDataFolderIsInTheUsersLocalApplicationData) {
  const std::string folder = platform::defaultDataFolder();
  const std::string tail = "\\Orvento Halvik";
  ASSERT_GT(folder.size(), tail.size());
  EXPECT_EQ(folder.substr(folder.size() - tail.size()), tail);
  EXPECT_TRUE(isFolder(folder.substr(0, folder.size() - tail.size())));
}
#else
TEST(Locations, LinuxDataFolderFollowsXdgDataHome) {
  ScopedVariable home("HOME", "/home/someone");
  {
    ScopedVariable data("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(platform::defaultDataFolder(), "/data/home/orvento-halvik");
  }
  for (const char* ignored : {"", "relative/path"}) {
    ScopedVariable data("XDG_DATA_HOME", ignored);
    EXPECT_EQ(platform::defaultDataFolder(), "/home/someone/.local/share/orvento-halvik") << ignored;
  }
  ScopedVariable unset("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(platform::defaultDataFolder(), "/home/someone/.local/share/orvento-halvik");
}
#endif
