#include "core/Settings.h"
#include "core/mMain.h"
#include "platform/Platform.h"
#include "support/TestEnvironment.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#endif

namespace halvik::core {

using testing_support::readFile;
using testing_support::TestEnvironment;
using testing_support::writeFile;

namespace {

std::string logsFolder() { return platform::environment().programFolder + "/Logs"; }

std::string todaysLogFile() {
  std::string date = platform::shortDate();
  std::replace(date.begin(), date.end(), '/', '_');
  return logsFolder() + "/" + date + ".txt";
}

// The text of the day's log.
std::string logText() { return readFile(todaysLogFile()); }

// Every line of `text`, each required to end in CR LF and to have the form "[time] message".
std::vector<std::string> messagesOf(const std::string& text) {
  static const std::regex line(R"(\[([^\]\r\n]*)\] ([^\r\n]*)\r\n)");
  std::vector<std::string> messages;
  std::string::const_iterator position = text.begin();
  std::smatch match;
  while (position != text.end()) {
    if (!std::regex_search(position, text.end(), match, line, std::regex_constants::match_continuous)) {
      ADD_FAILURE() << "not a log line: " << std::string(position, text.end());
      break;
    }
    EXPECT_FALSE(match[1].str().empty());
    messages.push_back(match[2].str());
    position = match[0].second;
  }
  return messages;
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace

TEST(WriteLog, WritesNothingAndMakesNoFolderWhenOff) {
  TestEnvironment environment;
  core::mMain::WriteLog("never set");
  EXPECT_FALSE(exists(logsFolder()));
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "0"));
  core::mMain::WriteLog("set to 0");
  EXPECT_FALSE(exists(logsFolder()));
}

TEST(WriteLog, AnyTextOtherThanZeroTurnsItOn) {
  for (const std::string value : {"1", "yes", " 0", "0 ", "00", "", "O"}) {
    SCOPED_TRACE('"' + value + '"');
    TestEnvironment environment;
    ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, value));
    core::mMain::WriteLog("on");
    EXPECT_EQ(messagesOf(logText()), std::vector<std::string>{"on"});
  }
}

TEST(WriteLog, NamesTheFileAfterTheDateAndAppendsOneCrLfLinePerCall) {
  TestEnvironment environment;
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  const std::string before = platform::shortTime();
  core::mMain::WriteLog("Scan Complete!");
  core::mMain::WriteLog("");
  core::mMain::WriteLog("User Killed Process evil");
  const std::string after = platform::shortTime();

  const std::string fileName = std::filesystem::path(todaysLogFile()).filename().string();
  EXPECT_EQ(fileName.find('/'), std::string::npos);
  EXPECT_TRUE(fileName.ends_with(".txt"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(logsFolder()), std::filesystem::directory_iterator()), 1);

  const std::string text = logText();
  EXPECT_EQ(messagesOf(text), (std::vector<std::string>{"Scan Complete!", "", "User Killed Process evil"}));
  const std::string stamp = text.substr(1, text.find(']') - 1);
  EXPECT_TRUE(stamp == before || stamp == after) << stamp;
  EXPECT_TRUE(text.starts_with("[" + stamp + "] Scan Complete!\r\n"));
}

TEST(WriteLog, KeepsEarlierLinesAndTakesTheSettingAtEachCall) {
  TestEnvironment environment;
  std::filesystem::create_directory(logsFolder());
  writeFile(todaysLogFile(), "[00:00:00] earlier\r\n");
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  core::mMain::WriteLog("first");
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "0"));
  core::mMain::WriteLog("while off");
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  core::mMain::WriteLog("second");
  EXPECT_EQ(messagesOf(logText()), (std::vector<std::string>{"earlier", "first", "second"}));
}

TEST(WriteLog, OneEventIsOneLineWhateverTheMessageHolds) {
  TestEnvironment environment;
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  core::mMain::WriteLog("Evil was found in /tmp/a\nb\rc\td\x7F" + std::string(1, '\0') + "e\x1B[31m");
  core::mMain::WriteLog("non-UTF-8 \xFF\xFE and caf\xC3\xA9 stay");
  EXPECT_EQ(messagesOf(logText()), (std::vector<std::string>{"Evil was found in /tmp/a?b?c?d??e?[31m",
                                                             "non-UTF-8 \xFF\xFE and caf\xC3\xA9 stay"}));
}

TEST(WriteLog, UnicodeLineBreaksBecomeOneQuestionMarkEach) {
  TestEnvironment environment;
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  core::mMain::WriteLog(
      "a\xC2\x85"
      "b\xE2\x80\xA8"
      "c\xE2\x80\xA9"
      "d \xE2\x80\xA7 \xC2\x84 \xE2\x80 end");
  // U+2027 and U+0084 are no line breaks; a cut sequence stays as it is.
  EXPECT_EQ(messagesOf(logText()), std::vector<std::string>{"a?b?c?d \xE2\x80\xA7 \xC2\x84 \xE2\x80 end"});
}

#ifndef _WIN32
// A link as the day's file is never written through, whether its target exists or not; the
// call returns silently. The "Logs" folder itself may be a link.
TEST(WriteLog, TheDaysFileIsNeverWrittenThroughALink) {
  TestEnvironment environment;
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  const std::string victim = environment.root() / "victim";
  writeFile(victim, "untouched");
  std::filesystem::create_directory(logsFolder());
  std::filesystem::create_symlink(victim, todaysLogFile());
  core::mMain::WriteLog("through a link");
  EXPECT_EQ(readFile(victim), "untouched");

  const std::string missing = environment.root() / "created";
  std::filesystem::remove(todaysLogFile());
  std::filesystem::create_symlink(missing, todaysLogFile());
  core::mMain::WriteLog("through a dangling link");
  EXPECT_FALSE(exists(missing));

  const std::string elsewhere = environment.root() / "elsewhere";
  std::filesystem::create_directory(elsewhere);
  std::filesystem::remove_all(logsFolder());
  std::filesystem::create_directory_symlink(elsewhere, logsFolder());
  core::mMain::WriteLog("kept elsewhere");
  EXPECT_EQ(messagesOf(logText()), std::vector<std::string>{"kept elsewhere"});
  EXPECT_TRUE(
      std::filesystem::is_regular_file(elsewhere + "/" + std::filesystem::path(todaysLogFile()).filename().string()));
}
#endif

TEST(WriteLog, ProgramFolderThatCannotHoldLogsIsSilent) {
  TestEnvironment environment;
  const std::string file = environment.root() / "plain-file";
  writeFile(file, "x");
  environment->programFolder = file;
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));  // options are kept per program folder
  core::mMain::WriteLog("lost");
  EXPECT_EQ(readFile(file), "x");
}

TEST(WriteLog, ReadOnlyProgramFolderIsSilent) {
#ifdef _WIN32
  GTEST_SKIP() << "folder permission bits are POSIX";
#else
  TestEnvironment environment;
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "1"));
  ASSERT_EQ(chmod(environment.programFolder().c_str(), 0555), 0);
  testing_support::withoutRootOverrides([] { core::mMain::WriteLog("lost"); });
  EXPECT_FALSE(exists(logsFolder()));
  ASSERT_EQ(chmod(environment.programFolder().c_str(), 0755), 0);
#endif
}

}  // namespace halvik::core
