#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "support/TestEnvironment.h"
#include "support/Unprivileged.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace halvik::core {

using namespace std::string_literals;
using testing_support::readFile;
using testing_support::TestEnvironment;
using testing_support::writeFile;

namespace {

std::string settingsFile() { return platform::environment().settingsFile; }

bool exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

void expectAllDefaults() {
  for (std::size_t index = 0; index < core::settings::kTable.size(); ++index) {
    const auto key = static_cast<core::settings::Key>(index);
    EXPECT_EQ(core::settings::read(key), core::settings::defaultOf(key)) << core::settings::settingOf(key).key;
  }
}

}  // namespace

TEST(SettingsStore, FirstRunGivesEveryDefaultAndWritesNothing) {
  TestEnvironment environment;
  expectAllDefaults();
  EXPECT_EQ(core::settings::read(core::settings::Key::AdMonitorRefresh), "5000");
  EXPECT_EQ(core::settings::read(core::settings::Key::LastSystemScan), "Jamais");
  EXPECT_EQ(core::settings::readNumber(core::settings::Key::TotalScans), 0);
  EXPECT_FALSE(exists(settingsFile()));
}

TEST(SettingsStore, TableKeepsOptionsPerFolderAndCountersUnderTheTitle) {
  TestEnvironment environment;
  EXPECT_EQ(core::settings::appNameOf(core::settings::Key::LogFile), environment.programFolder());
  EXPECT_EQ(core::settings::appNameOf(core::settings::Key::TotalScans), "Orvento Halvik");
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  ASSERT_TRUE(core::settings::write(core::settings::Key::TotalScans, "3"));
  EXPECT_EQ(core::SettingsStore::GetSetting(environment.programFolder(), "Settings", "LogFile", "0"), "1");
  EXPECT_EQ(core::SettingsStore::GetSetting("Orvento Halvik", "Status", "TotalScans", "0"), "3");
}

TEST(SettingsStore, NamesCompareWithoutRegardToCase) {
  TestEnvironment environment;
  ASSERT_TRUE(core::SettingsStore::SaveSetting("Orvento Halvik", "Status", "Totalscans", "7"));
  EXPECT_EQ(core::SettingsStore::GetSetting("Orvento Halvik", "Status", "TotalScans", "0"), "7");
  EXPECT_EQ(core::SettingsStore::GetSetting("ORVENTO HALVIK", "STATUS", "TOTALSCANS", "0"), "7");

  // A write under another spelling replaces the one value instead of adding a second.
  ASSERT_TRUE(core::SettingsStore::SaveSetting("orvento halvik", "status", "TOTALSCANS", "8"));
  EXPECT_EQ(core::SettingsStore::GetSetting("Orvento Halvik", "Status", "Totalscans", "0"), "8");
  EXPECT_EQ(core::settings::readNumber(core::settings::Key::TotalScans), 8);

  // Only ASCII letters fold: other bytes compare exactly.
  ASSERT_TRUE(core::SettingsStore::SaveSetting("App", "S", "\xC3\xA9t\xC3\xA9", "lower"));
  EXPECT_EQ(core::SettingsStore::GetSetting("App", "S", "\xC3\x89T\xC3\x89", "none"), "none");
  EXPECT_EQ(core::SettingsStore::GetSetting("app", "s", "\xC3\xA9T\xC3\xA9", "none"), "lower");
}

TEST(SettingsStore, FolderPathsAreApplicationNames) {
  TestEnvironment environment;
  const std::string folder = "/home/user/My Programs/Halvik [2]";
  ASSERT_TRUE(core::SettingsStore::SaveSetting(folder, "Settings", "LogFile", "1"));
  ASSERT_TRUE(core::SettingsStore::SaveSetting(folder + "/sub", "Settings", "LogFile", "sub"));
  EXPECT_EQ(core::SettingsStore::GetSetting(folder, "Settings", "LogFile", "0"), "1");
  EXPECT_EQ(core::SettingsStore::GetSetting("/HOME/USER/my programs/halvik [2]", "settings", "logfile", "0"), "1");
  EXPECT_EQ(core::SettingsStore::GetSetting(folder + "/sub", "Settings", "LogFile", "0"), "sub");
  EXPECT_EQ(core::SettingsStore::GetSetting("/home/user", "My Programs/Halvik [2]/Settings", "LogFile", "0"), "0");

  // A backslash is part of a name, never a level: application and section do not alias.
  ASSERT_TRUE(core::SettingsStore::SaveSetting("C:\\Program Files", "Settings", "K", "win"));
  EXPECT_EQ(core::SettingsStore::GetSetting("C:\\Program Files", "Settings", "K", "0"), "win");
  EXPECT_EQ(core::SettingsStore::GetSetting("C:", "Program Files\\Settings", "K", "0"), "0");
}

TEST(SettingsStore, AnyTextRoundTripsAsNameAndValue) {
  TestEnvironment environment;
  const std::vector<std::string> texts = {
      "",
      " lead",
      "trail ",
      "  ",
      "\"quoted\"",
      "'single'",
      "\"",
      "a=b",
      "=",
      "[section]",
      "x]y",
      "]",
      ";comment",
      "#hash",
      "%",
      "%41",
      "100%",
      "a\\b",
      "a/b",
      "tab\there",
      "\tedge\t",
      "\v\f",
      "line\nfeed",
      "cr\rlf\r\n",
      "nul\0byte"s,
      "\0"s,
      "\x7F",
      "\xFF\xFE\x80 raw",
      "caf\xC3\xA9",
      std::string(5000, 'v'),
  };
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    SCOPED_TRACE(i);
    ASSERT_TRUE(core::SettingsStore::SaveSetting(text, "Section", "Key", "app " + text));
    ASSERT_TRUE(core::SettingsStore::SaveSetting("App", text, "Key", "section " + text));
    ASSERT_TRUE(core::SettingsStore::SaveSetting("App", "Section", text, "key " + text));
    ASSERT_TRUE(core::SettingsStore::SaveSetting("Values", "Section", std::to_string(i), text));
  }
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(core::SettingsStore::GetSetting(text, "Section", "Key", "?"), "app " + text);
    EXPECT_EQ(core::SettingsStore::GetSetting("App", text, "Key", "?"), "section " + text);
    EXPECT_EQ(core::SettingsStore::GetSetting("App", "Section", text, "?"), "key " + text);
    EXPECT_EQ(core::SettingsStore::GetSetting("Values", "Section", std::to_string(i), "?"), text);
  }
}

TEST(SettingsStore, TwoRunningCopiesWritingAtOnceLoseNothing) {
  TestEnvironment environment;
  constexpr int kKeys = 40;
  std::vector<pid_t> children;
  for (const std::string copy : {"first", "second"}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool ok = true;
      for (int i = 0; i < kKeys; ++i)
        ok = core::SettingsStore::SaveSetting("App", copy, "Key" + std::to_string(i), copy) && ok;
      _exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (const std::string copy : {"first", "second"})
    for (int i = 0; i < kKeys; ++i)
      EXPECT_EQ(core::SettingsStore::GetSetting("App", copy, "Key" + std::to_string(i), "lost"), copy);
}

TEST(SettingsStore, CreatesMissingSettingsFolders) {
  TestEnvironment environment;
  const std::string file = environment.root() / "home/.config/orvento-halvik/settings.ini";
  std::filesystem::create_directories(environment.root() / "home");
  environment->settingsFile = file;
  ASSERT_TRUE(core::settings::write(core::settings::Key::Quarintine, "1"));
  EXPECT_EQ(core::settings::read(core::settings::Key::Quarintine), "1");
  EXPECT_TRUE(exists(file));
}

TEST(SettingsStore, DamagedFileGivesDefaultsAndIsKeptBeforeTheNextWrite) {
  const std::vector<std::string> damaged = {
      "[Orvento Halvik\\Status]\r\nTotalscans=4\r\n\0\0garbage"s,
      "\xFF\xFE[\0A\0]\0\r\0\n\0"s,
      "[Orvento Halvik\\Status]\r\nTotalscans=4\r\nthis line is no entry\r\n",
      "[Orvento Halvik\\Status]\r\nTotalscans=4%G1\r\n",
      "[Orvento Halvik\\Status]\r\nTotalscans=4%4\r\n",
      "Totalscans=4\r\n[Orvento Halvik\\Status]\r\n",
      "[Orvento Halvik\\Status\r\nTotalscans=4\r\n",
      "[Orvento Halvik]Status]\r\nTotalscans=4\r\n",
      std::string(10 * 1024 * 1024, 'x'),
  };
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    TestEnvironment environment;
    writeFile(settingsFile(), damaged[i]);
    expectAllDefaults();
    EXPECT_EQ(readFile(settingsFile()), damaged[i]) << "a read changes nothing";

    ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
    EXPECT_EQ(readFile(settingsFile() + ".bad"), damaged[i]);
    EXPECT_EQ(core::settings::read(core::settings::Key::LogFile), "1");
    EXPECT_EQ(core::settings::read(core::settings::Key::TotalScans), "0");
    ASSERT_TRUE(core::settings::write(core::settings::Key::TotalScans, "2"));
    EXPECT_EQ(core::settings::read(core::settings::Key::LogFile), "1");
    EXPECT_EQ(core::settings::read(core::settings::Key::TotalScans), "2");
  }
}

TEST(SettingsStore, AnEarlierBackupIsNeverReplaced) {
  TestEnvironment environment;
  writeFile(settingsFile(), "first damage\n");
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  writeFile(settingsFile(), "second damage\n");
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  EXPECT_EQ(readFile(settingsFile() + ".bad"), "first damage\n");
  EXPECT_EQ(readFile(settingsFile() + ".bad.2"), "second damage\n");
}

TEST(SettingsStore, SoundHandEditsAreRead) {
  TestEnvironment environment;
  writeFile(settingsFile(),
            "\xEF\xBB\xBF; kept by hand\n\n[orvento halvik\\status]\n  TotalScans = \"12\"  \r[Other]\rK=%25\r\x1A");
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalScans), "12");
  EXPECT_EQ(core::SettingsStore::GetSetting("Other", "", "K", "?"), "?");
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  EXPECT_FALSE(exists(settingsFile() + ".bad"));
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalScans), "12");
}

// Reads come from the reader's parsed copy: the file is not parsed again at every read, yet a
// change by another program, damage included, shows after the reader's check interval.
TEST(SettingsStore, ReadsAreAnsweredFromTheParsedCopy) {
  TestEnvironment environment;
  ASSERT_TRUE(core::settings::write(core::settings::Key::TotalScans, "5"));
  // Every opening of the file shows as an event: at most the load after our write and one
  // confirming parse.
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, settingsFile().c_str(), IN_OPEN), 0);
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(core::settings::read(core::settings::Key::TotalScans), "5");
  alignas(inotify_event) char events[64 * sizeof(inotify_event)];
  const ssize_t length = read(watch, events, sizeof events);
  close(watch);
  EXPECT_LE(length < 0 ? 0 : length / static_cast<ssize_t>(sizeof(inotify_event)), 2);

  // Another writer's file is read again once the store's check interval has passed.
  const auto readsBack = [](const char* value) {
    return testing_support::waitFor([value] { return core::settings::read(core::settings::Key::TotalScans) == value; });
  };
  writeFile(settingsFile(), "[Orvento Halvik\\Status]\r\nTotalscans=6\r\n");
  EXPECT_TRUE(readsBack("6"));
  writeFile(settingsFile(), "[Orvento Halvik\\Status]\r\nTotalscans=7\r\nstray text\r\n");
  EXPECT_TRUE(readsBack("0"));
  writeFile(settingsFile(), "[Orvento Halvik\\Status]\r\nTotalscans=8\r\n");
  EXPECT_TRUE(readsBack("8"));
  writeFile(settingsFile(), "\xEF\xBB\xBF\xEF\xBB\xBF[Orvento Halvik\\Status]\r\nTotalscans=8\r\n");
  EXPECT_TRUE(readsBack("0")) << "a second byte order mark is stray text";
  ASSERT_TRUE(core::settings::write(core::settings::Key::TotalScans, "9"));
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalScans), "9");
  EXPECT_TRUE(exists(settingsFile() + ".bad"));
}

TEST(SettingsStore, UnreadableFileGivesDefaultsAndIsLeftWhole) {
  TestEnvironment environment;
  std::filesystem::create_directory(settingsFile());  // a folder where the file should be
  expectAllDefaults();
  EXPECT_FALSE(core::settings::write(core::settings::Key::LogFile, "1"));
  EXPECT_TRUE(std::filesystem::is_directory(settingsFile()));
}

TEST(SettingsStore, FileWithoutReadPermissionGivesDefaultsAndKeepsItsValues) {
  TestEnvironment environment;
  ASSERT_TRUE(core::settings::write(core::settings::Key::TotalScans, "5"));
  const std::string before = readFile(settingsFile());
  ASSERT_EQ(chmod(settingsFile().c_str(), 0), 0);
  testing_support::withoutRootOverrides([] {
    expectAllDefaults();
    EXPECT_FALSE(core::settings::write(core::settings::Key::LogFile, "1"));
  });
  ASSERT_EQ(chmod(settingsFile().c_str(), 0600), 0);
  EXPECT_EQ(readFile(settingsFile()), before);
  EXPECT_FALSE(exists(settingsFile() + ".bad"));
}

TEST(SettingsStore, CountersReadAsNumbersAndWriteAsWholeNumbers) {
  TestEnvironment environment;
  const std::vector<std::pair<std::string, double>> readings = {
      {"12", 12}, {" 7 ", 7},   {"+3", 3},  {"-2", -2}, {"2.5", 2.5}, {"1e3", 1000}, {"", 0},
      {"abc", 0}, {"12abc", 0}, {"1 2", 0}, {"1,5", 0}, {"inf", 0},   {"nan", 0},    {"0x10", 0},
  };
  for (const auto& [text, number] : readings) {
    ASSERT_TRUE(core::settings::write(core::settings::Key::TotalObjectsRemoved, text));
    EXPECT_EQ(core::settings::readNumber(core::settings::Key::TotalObjectsRemoved), number) << '"' << text << '"';
  }
  EXPECT_EQ(core::settings::numberText(0), "0");
  EXPECT_EQ(core::settings::numberText(-0.0), "0");
  EXPECT_EQ(core::settings::numberText(12), "12");
  EXPECT_EQ(core::settings::numberText(1234567), "1234567");
  EXPECT_EQ(core::settings::numberText(1e15 + 1), "1000000000000001");
  EXPECT_EQ(core::settings::numberText(2.6), "3");
  EXPECT_EQ(core::settings::numberText(-4), "-4");
  EXPECT_EQ(core::settings::numberText(1.0 / 0.0), "0");
}

}  // namespace halvik::core
