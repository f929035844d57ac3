// "Lancer au démarrage" as root (the machine-wide entry) and as an ordinary user, in a child that
// drops privileges (its own entry, Hidden=true to switch the machine-wide one off), and the log
// line when nothing could be written.
#include "core/RegistryStuff.h"
#include "core/Settings.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace halvik::core {

namespace {
using testing_support::readFile;
using testing_support::TestEnvironment;
namespace fs = std::filesystem;

constexpr uid_t kOrdinaryUser = 65534;

std::string entry(const std::string& folder) {
  const std::string path = folder + "/bobbypin.desktop";
  return fs::exists(path) ? readFile(path) : std::string("(none)");
}
std::string machineEntry() { return entry(platform::environment().autostartFolder); }
std::string userEntry() { return entry(platform::environment().userAutostartFolder); }

std::string logText() {
  std::string text;
  std::error_code error;
  for (const auto& file : fs::directory_iterator(platform::environment().programFolder + "/Logs", error))
    text += readFile(file.path().string());
  return text;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void tick(const std::string& companion) {
  RegistryStuff::SetRunValue(platform::RegistryRoot::LocalMachine, RegistryStuff::kRunKey, RegistryStuff::kRunValueName,
                             companion);
}
void untick() { RegistryStuff::RemoveRunValue(RegistryStuff::kRunValueName); }

// An ordinary user under a machine-wide entry they may not change; the faults found, or empty.
std::string ordinaryUserRound(const std::string& companion) {
  std::string faults;
  const auto expect = [&faults](bool holds, const std::string& fault) { faults += holds ? "" : fault + "\n"; };
  const std::string machine = machineEntry();
  tick(companion);
  expect(has(userEntry(), "\nExec=" + companion + "\n") && has(userEntry(), "\nTryExec=" + companion + "\n"),
         "ticked: no user entry starting the companion: " + userEntry());
  expect(has(logText(), "Running on startup... for this user only (machine-wide entry: Permission denied)"),
         "ticked: log says " + logText());
  untick();
  expect(has(userEntry(), "\nHidden=true\n"), "unticked: the machine-wide entry is not hidden: " + userEntry());
  expect(has(logText(), "Removed from startup... for this user only (machine-wide entry: Permission denied)"),
         "unticked: log says " + logText());
  tick(companion);
  expect(!has(userEntry(), "Hidden") && has(userEntry(), "TryExec="), "ticked again: " + userEntry());
  expect(machineEntry() == machine, "the machine-wide entry changed");
  return faults;
}

class StartupEntryTest : public ::testing::Test {
 protected:
  StartupEntryTest() { settings::write(settings::Key::LogFile, "1"); }
  std::string companion() const { return where.programFolder() + "/Sentrel.exe"; }
  TestEnvironment where;
};

TEST_F(StartupEntryTest, TheMachineWideEntryWhereItCanBeWritten) {
  if (geteuid() != 0) GTEST_SKIP() << "only root writes a machine-wide folder";
  testing_support::writeFile(where->userAutostartFolder + "/bobbypin.desktop", "[Desktop Entry]\nHidden=true\n");
  tick(companion());
  EXPECT_TRUE(has(machineEntry(), "\nTryExec=" + companion() + "\n")) << machineEntry();
  EXPECT_EQ(userEntry(), "(none)") << "the user's switch-off goes when the option is ticked again";
  untick();
  EXPECT_EQ(machineEntry(), "(none)");
  EXPECT_TRUE(has(logText(), "] Running on startup...\r\n")) << logText();
  EXPECT_TRUE(has(logText(), "] Removed from startup...\r\n")) << logText();
}

TEST_F(StartupEntryTest, AnOrdinaryUserGetsEntriesOfTheirOwn) {
  tick(companion());  // the administrator's entry, written before the folder is closed
  if (geteuid() != 0) {
    chmod(where->autostartFolder.c_str(), 0555);
    EXPECT_EQ(ordinaryUserRound(companion()), "");
    return;
  }
  fs::remove_all(where->programFolder + "/Logs");
  for (const auto& item : fs::recursive_directory_iterator(where.root().path()))
    if (item.path().parent_path() != where->autostartFolder) lchown(item.path().c_str(), kOrdinaryUser, kOrdinaryUser);
  chown(where.root().path().c_str(), kOrdinaryUser, kOrdinaryUser);
  chown(where->autostartFolder.c_str(), 0, 0);
  const std::string report = where.root() / "faults";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(kOrdinaryUser) != 0 || setuid(kOrdinaryUser) != 0) _exit(2);
    testing_support::writeFile(report, ordinaryUserRound(companion()));
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(readFile(report), "");
}

TEST_F(StartupEntryTest, NothingWrittenIsLoggedAsAFailure) {
  testing_support::writeFile(where.root() / "plain-file", "x");
  where->autostartFolder = where.root() / "plain-file/autostart";
  where->userAutostartFolder = where.root() / "plain-file/user-autostart";
  tick(companion());
  untick();
  EXPECT_TRUE(has(logText(),
                  "Running on startup... failed: machine-wide entry: Not a directory; user entry: Not a "
                  "directory"))
      << logText();
  EXPECT_TRUE(has(logText(),
                  "Removed from startup... failed: machine-wide entry: Not a directory; user entry: Not a "
                  "directory"))
      << logText();
}

}  // namespace

}  // namespace halvik::core
