// The command-line front orvento-halvik: it loads no window library (nor libcurl, loaded when a
// download starts), and runs the window program beside it with its command line unchanged.
#include "support/ShellCommand.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace halvik::app {

namespace {
using testing_support::TempFolder;
using testing_support::waitFor;
namespace fs = std::filesystem;

// The libraries the dynamic loader maps for `program`, as ldd lists them.
std::string librariesOf(const std::string& program) {
  const TempFolder scratch;
  return testing_support::runCommand("ldd " + testing_support::shellQuoted(program), scratch / "err").out;
}

TEST(FrontTest, StartsWithoutAnyWindowLibraryOrLibcurl) {
  const std::string front = librariesOf(HALVIK_PROGRAM);
  ASSERT_NE(front.find("libc.so"), std::string::npos) << front;
  for (const char* library : {"libQt6", "libX11", "libGL", "libcurl"})
    EXPECT_EQ(front.find(library), std::string::npos) << library << " in\n" << front;
  const std::string window = librariesOf(fs::path(HALVIK_PROGRAM).parent_path() / "orvento-halvik-window");
  EXPECT_NE(window.find("libQt6Widgets"), std::string::npos) << window;
}

class FrontProgramFolderTest : public ::testing::Test {
 protected:
  FrontProgramFolderTest() {
    fs::create_directories(root / "program");
    fs::copy_file(HALVIK_PROGRAM, front);
  }
  ~FrontProgramFolderTest() override {
    if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
  }

  // Starts the front with exactly these words (the first is the name it is given), no display.
  bool start(std::vector<std::string> words) {
    std::vector<std::string> environment = {"HOME=" + root.path(), "XDG_CONFIG_HOME=" + (root / "config")};
    std::vector<char*> argv, envp;
    for (auto& word : words) argv.push_back(word.data());
    for (auto& variable : environment) envp.push_back(variable.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    return posix_spawn(&pid, front.c_str(), nullptr, nullptr, argv.data(), envp.data()) == 0;
  }

  TempFolder root;
  const std::string front = root / "program/orvento-halvik";
  pid_t pid = 0;
};

// A stand-in window program that stays until killed: once the front has run it in its place, the
// process's command line is what the window program got.
TEST_F(FrontProgramFolderTest, TheWindowProgramGetsTheCommandLineUnchanged) {
  fs::copy_file(HALVIK_SLEEPER, root / "program/orvento-halvik-window");
  std::vector<std::string> words{"any name", "--"};
  for (const char* odd : {"-dash", "new\nline", "not UTF-8 \xff\xfe", " space"}) {
    fs::create_directory(root / odd);
    words.push_back(root / odd);
  }
  ASSERT_TRUE(start(words));
  std::string expected;
  for (const std::string& word : words) expected += word + '\0';
  const std::string proc = "/proc/" + std::to_string(pid);
  EXPECT_TRUE(waitFor([&] {
    std::error_code error;
    return fs::read_symlink(proc + "/exe", error) == root / "program/orvento-halvik-window" &&
           testing_support::readFile(proc + "/cmdline") == expected;
  })) << testing_support::readFile(proc + "/cmdline");
}

TEST_F(FrontProgramFolderTest, AMissingWindowProgramIsARunErrorOfOneLine) {
  const TempFolder scratch;
  const auto outcome = testing_support::runCommand("env -u DISPLAY HOME=" + testing_support::shellQuoted(root.path()) +
                                                       " " + testing_support::shellQuoted(front),
                                                   scratch / "err");
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err.rfind("orvento-halvik : la fen\u00EAtre ne peut pas s'ouvrir : ", 0), 0u) << outcome.err;
  EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
}

}  // namespace

}  // namespace halvik::app
