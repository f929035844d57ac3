// Runs the built program as a terminal user would, with no display and a scratch home: the
// exit statuses and the streams of the command line.
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace halvik::app {

namespace {
using testing_support::TempFolder;
using testing_support::writeFile;

// A name the shipped scan database lists.
constexpr const char* kPlantedName = "kinsing";

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (const char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

class ProgramExitTest : public ::testing::Test {
 protected:
  // Runs the program with `arguments` (already quoted for the shell).
  Outcome run(const std::string& arguments, const std::string& program = quoted(HALVIK_PROGRAM)) {
    const std::string errFile = home / "stderr";
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME=" + quoted(home.path()) +
                                " XDG_CONFIG_HOME=" + quoted(home / "config") +
                                " XDG_DATA_HOME=" + quoted(home / "data") + " " + program + " " + arguments + " 2>" +
                                quoted(errFile);
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    for (std::size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.out.append(buffer, read);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.err = testing_support::readFile(errFile);
    return outcome;
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
  const Outcome clean = run("--scan " + quoted(tree / "clean"));
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out, "");
  EXPECT_NE(clean.err.find("Objets malicieux: 0"), std::string::npos) << clean.err;
  EXPECT_TRUE(std::filesystem::exists(home / "config/orvento-halvik/settings.ini")) << "the scan is counted";
}

TEST_F(ProgramExitTest, PlantedThreatGivesStatusOneAndItsLine) {
  std::filesystem::create_directories(tree / "planted");
  writeFile(tree / ("planted/" + std::string(kPlantedName)), "x");
  const Outcome planted = run("--scan " + quoted(tree / "planted"));
  EXPECT_EQ(planted.status, 1) << planted.err;
  EXPECT_NE(planted.out.find("\t" + (tree / "planted") + "/" + kPlantedName + "\n"), std::string::npos) << planted.out;
  EXPECT_NE(planted.err.find("Objets malicieux: 1"), std::string::npos) << planted.err;
}

// Reads one line (without its line feed) from the descriptor `fd`; empty at its end.
std::string lineFrom(int fd) {
  std::string line;
  for (char c; ::read(fd, &c, 1) == 1 && c != '\n';) line += c;
  return line;
}

TEST_F(ProgramExitTest, WatchPrintsEachThreatAsItAppearsAndEndsCleanlyOnSigterm) {
  int out[2], err[2];
  ASSERT_EQ(pipe(out), 0);
  ASSERT_EQ(pipe(err), 0);
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    execl(HALVIK_PROGRAM, HALVIK_PROGRAM, "--watch", tree.path().c_str(), nullptr);
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  EXPECT_NE(lineFrom(err[0]).find("surveillance en cours"), std::string::npos);
  writeFile(tree / "harmless.txt", "x");
  writeFile(tree / kPlantedName, "x");
  const std::string line = lineFrom(out[0]);
  EXPECT_EQ(line.substr(line.find('\t') + 1), tree / kPlantedName);
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(lineFrom(out[0]), "") << "nothing else is written";
  close(out[0]);
  close(err[0]);
}

TEST_F(ProgramExitTest, ThreatsBehindDotFoldersAreFound) {
  for (const char* folder : {"home/.config/systemd/user", "tmp/.X25-unix"}) {
    std::filesystem::create_directories(tree / folder);
    writeFile(tree / folder + "/" + kPlantedName, "x");
  }
  const Outcome planted = run("--scan " + quoted(tree.path()));
  EXPECT_EQ(planted.status, 1) << planted.err;
  EXPECT_NE(planted.out.find(tree / "home/.config/systemd/user/kinsing\n"), std::string::npos) << planted.out;
  EXPECT_NE(planted.out.find(tree / "tmp/.X25-unix/kinsing\n"), std::string::npos) << planted.out;
}

// A copy of the program in a folder of its own, whose shipped database is missing or broken: neither a
// scan nor a watch starts.
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
    for (const char* option : {"--scan ", "--watch "}) {
      const Outcome outcome = run(option + quoted(tree / "clean"), "timeout 60 " + quoted(copy));
      EXPECT_EQ(outcome.status, 2) << option << what;
      EXPECT_EQ(outcome.out, "") << option << what;
      EXPECT_NE(outcome.err.find("aucune base de signatures valide"), std::string::npos)
          << option << what << ": " << outcome.err;
    }
  }
}

}  // namespace

}  // namespace halvik::app
