// One window per user and program folder: a later start hands its folder to the running window,
// which scans it, and ends at once with status 0; a socket left by a killed first copy does not
// stop the next one.
#include "support/TempFolder.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace halvik::app {

namespace {
using testing_support::TempFolder;
using testing_support::waitFor;
namespace fs = std::filesystem;

class SingleWindowTest : public ::testing::Test {
 protected:
  // A portable copy of the program (its databases beside it) with a scratch home and logging on.
  SingleWindowTest() {
    const fs::path built = fs::path(HALVIK_PROGRAM).parent_path();
    const fs::path program = root / "program";
    fs::create_directories(program);
    for (const char* file : {"orvento-halvik", "orvento-halvik-window", "scan.dll", "REFERENCE_6-27-03.dat"})
      fs::copy(built / file, program / file);
    fs::create_directories(root / "config/orvento-halvik");
    fs::create_directory(root / "run");
    fs::permissions(root / "run", fs::perms::owner_all);
    testing_support::writeFile(root / "config/orvento-halvik/settings.ini",
                               "[" + (root / "program") + "\\Settings]\r\nLogFile=1\r\n");
  }
  ~SingleWindowTest() override {
    for (const pid_t pid : started) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
  }

  pid_t start(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), root / "program/orvento-halvik");
    std::vector<std::string> environment = {"QT_QPA_PLATFORM=offscreen", "HOME=" + root.path(),
                                            "XDG_CONFIG_HOME=" + (root / "config"),
                                            "XDG_RUNTIME_DIR=" + (root / "run")};
    std::vector<char*> argv, envp;
    for (auto& argument : arguments) argv.push_back(argument.data());
    for (auto& variable : environment) envp.push_back(variable.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return 0;
    started.push_back(pid);
    return pid;
  }

  // The status of a start that should end by itself, or -1.
  int statusOf(pid_t pid) {
    int status = 0;
    if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; })) return -1;
    std::erase(started, pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The listening socket once a first copy listens (empty until then): its inode and change time,
  // which tell a socket made anew from a stale one.
  std::string socketIdentity() const {
    for (const auto& entry : fs::directory_iterator(root / "run")) {
      struct stat info {};
      if (lstat(entry.path().c_str(), &info) == 0 && S_ISSOCK(info.st_mode))
        return std::to_string(info.st_ino) + "." + std::to_string(info.st_ctim.tv_sec) + "." +
               std::to_string(info.st_ctim.tv_nsec);
    }
    return std::string();
  }

  bool scanned(const std::string& file) const {
    std::string log;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / "program/Logs", error))
      log += testing_support::readFile(entry.path().string());
    return log.find("was found in " + file) != std::string::npos;
  }

  // A folder holding one file the shipped database names.
  std::string planted(const std::string& name) {
    fs::create_directories(root / name);
    testing_support::writeFile(root / name + "/kinsing", "x");
    return root / name;
  }

  TempFolder root;
  std::vector<pid_t> started;
};

TEST_F(SingleWindowTest, ALaterStartHandsItsFolderToTheRunningWindow) {
  const pid_t first = start({});
  ASSERT_TRUE(waitFor([&] { return !socketIdentity().empty(); }));
  const std::string folder = planted("first");
  EXPECT_EQ(statusOf(start({folder})), 0);
  EXPECT_TRUE(waitFor([&] { return scanned(folder + "/kinsing"); })) << "the running window scanned the folder";
  EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the running window is still there";
}

TEST_F(SingleWindowTest, AStaleSocketOfAKilledFirstCopyDoesNotBlock) {
  const pid_t killed = start({});
  ASSERT_TRUE(waitFor([&] { return !socketIdentity().empty(); }));
  const std::string stale = socketIdentity();
  kill(killed, SIGKILL);
  ASSERT_EQ(statusOf(killed), -1);
  start({});
  ASSERT_TRUE(waitFor([&] { return !socketIdentity().empty() && socketIdentity() != stale; }));
  const std::string folder = planted("second");
  EXPECT_EQ(statusOf(start({folder})), 0);
  EXPECT_TRUE(waitFor([&] { return scanned(folder + "/kinsing"); }));
}

}  // namespace

}  // namespace halvik::app
