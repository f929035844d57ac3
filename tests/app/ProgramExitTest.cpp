// Runs the built program as a terminal user would, with no display and a scratch home: the
// exit statuses and the streams of the command line.
#include "support/ShellCommand.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace halvik::app {

namespace {
using testing_support::TempFolder;
using testing_support::writeFile;

// A name the shipped scan database lists.
constexpr const char* kPlantedName = "kinsing";

using Outcome = testing_support::CommandOutcome;
using testing_support::shellQuoted;

class ProgramExitTest : public ::testing::Test {
 protected:
  // Runs the program with `arguments` (already quoted for the shell).
  Outcome run(const std::string& arguments, const std::string& program = shellQuoted(HALVIK_PROGRAM)) {
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME=" + shellQuoted(home.path()) +
        " XDG_CONFIG_HOME=" + shellQuoted(home / "config") + " XDG_DATA_HOME=" + shellQuoted(home / "data") + " " +
        program + " " + arguments;
    return testing_support::runCommand(command, home / "stderr");
  }

  TempFolder home;
  TempFolder tree;
};

TEST_F(ProgramExitTest, HelpAndVersionSucceedOnStandardOutput) {
  const Outcome help = run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage : orvento-halvik"), std::string::npos);
  EXPECT_EQ(help.err, "");
  const Outcome version = run("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("orvento-halvik ", 0), 0u);
}

TEST_F(ProgramExitTest, UsageErrorsGiveOneLineAndStatusTwo) {
  for (const char* arguments : {"--bogus", "--scan", "--page 9", "--repair /", "--scan /nonexistent/folder"}) {
    const Outcome outcome = run(arguments);
    EXPECT_EQ(outcome.status, 2) << arguments;
    EXPECT_EQ(outcome.out, "") << arguments;
    ASSERT_FALSE(outcome.err.empty()) << arguments;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << arguments << ": " << outcome.err;
  }
  EXPECT_FALSE(std::filesystem::exists(home / "config")) << "nothing is stored for a refused command";
}

TEST_F(ProgramExitTest, HeadlessScanNeedsNoDisplay) {
  std::filesystem::create_directories(tree / "clean/sub");
  writeFile(tree / "clean/sub/readme.txt", "nothing");
  const Outcome clean = run("--scan " + shellQuoted(tree / "clean"));
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out, "");
  EXPECT_NE(clean.err.find("Objets malicieux: 0"), std::string::npos) << clean.err;
  EXPECT_TRUE(std::filesystem::exists(home / "config/orvento-halvik/settings.ini")) << "the scan is counted";
}

TEST_F(ProgramExitTest, PlantedThreatGivesStatusOneAndItsLine) {
  std::filesystem::create_directories(tree / "planted");
  writeFile(tree / ("planted/" + std::string(kPlantedName)), "x");
  const Outcome planted = run("--scan " + shellQuoted(tree / "planted"));
  EXPECT_EQ(planted.status, 1) << planted.err;
  EXPECT_NE(planted.out.find("\t" + (tree / "planted") + "/" + kPlantedName + "\n"), std::string::npos) << planted.out;
  EXPECT_NE(planted.err.find("Objets malicieux: 1"), std::string::npos) << planted.err;
}

TEST_F(ProgramExitTest, ThreatsBehindDotFoldersAreFound) {
  for (const char* folder : {"home/.config/systemd/user", "tmp/.X25-unix"}) {
    std::filesystem::create_directories(tree / folder);
    writeFile(tree / folder + "/" + kPlantedName, "x");
  }
  const Outcome planted = run("--scan " + shellQuoted(tree.path()));
  EXPECT_EQ(planted.status, 1) << planted.err;
  EXPECT_NE(planted.out.find(tree / "home/.config/systemd/user/kinsing\n"), std::string::npos) << planted.out;
  EXPECT_NE(planted.out.find(tree / "tmp/.X25-unix/kinsing\n"), std::string::npos) << planted.out;
}

// A copy of the program in a folder of its own, whose shipped database is missing or broken.
TEST_F(ProgramExitTest, ABrokenShippedDatabaseStopsTheScanAtOnce) {
  TempFolder program;
  const std::string copy = program / "orvento-halvik";
  std::filesystem::copy_file(HALVIK_PROGRAM, copy);
  std::filesystem::create_directories(tree / "clean");
  const std::string scan = program / "scan.dll";
  const auto broken = std::vector<std::pair<const char*, std::function<void()>>>{
      {"missing", [] {}},
      {"empty", [&] { writeFile(scan, ""); }},
      {"folder", [&] { std::filesystem::create_directory(scan); }},
      {"FIFO", [&] { ASSERT_EQ(mkfifo(scan.c_str(), 0600), 0); }},
  };
  for (const auto& [what, breakIt] : broken) {
    std::filesystem::remove(scan);
    breakIt();
    // A program that waited on the FIFO would be stopped by timeout, with its status 124.
    const Outcome outcome = run("--scan " + shellQuoted(tree / "clean"), "timeout 60 " + shellQuoted(copy));
    EXPECT_EQ(outcome.status, 2) << what;
    EXPECT_EQ(outcome.out, "") << what;
    EXPECT_NE(outcome.err.find("aucune base de signatures valide"), std::string::npos) << what << ": " << outcome.err;
  }
}

}  // namespace

}  // namespace halvik::app
