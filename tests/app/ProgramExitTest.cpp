// Runs the built program as a terminal user would, with no display and a scratch home: the
// exit statuses and the streams of the command line.
#include "support/ShellCommand.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <pty.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
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

TEST_F(ProgramExitTest, JsonOfAPlantedTreeParsesLineByLineAndHoldsEveryHit) {
  const std::vector<std::string> folders = {"plain", "new\nline", "bad\xFF", "ctl\x01"};
  for (const std::string& folder : folders) {
    std::filesystem::create_directories(tree / folder);
    writeFile(tree / (folder + "/" + kPlantedName), "x");
  }
  const Outcome json = run("--scan " + shellQuoted(tree.path()) + " --format json --jobs 2");
  EXPECT_EQ(json.status, 1) << json.err;
  EXPECT_EQ(json.err, "");
  writeFile(home / "out.json", json.out);
  // Each hit's raw path (path_bytes when there is one), one per line, in hexadecimal.
  const std::string script =
      "import base64,json,sys\n"
      "objects = [json.loads(l) for l in open(sys.argv[1], encoding='utf-8')]\n"
      "assert objects[-1]['type'] == 'summary' and objects[-1]['hits'] == len(objects) - 1\n"
      "for o in objects[:-1]:\n"
      "  raw = base64.b64decode(o['path_bytes']) if 'path_bytes' in o else o['path'].encode()\n"
      "  print(raw.hex())\n";
  writeFile(home / "check.py", script);
  FILE* pipe = popen(("python3 " + shellQuoted(home / "check.py") + " " + shellQuoted(home / "out.json")).c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> found;
  char line[8192];
  while (fgets(line, sizeof line, pipe)) found.emplace_back(line, std::strlen(line) - 1);
  EXPECT_EQ(pclose(pipe), 0) << json.out;
  std::vector<std::string> expected;
  for (const std::string& folder : folders) {
    std::string hex;
    for (const unsigned char c : tree / (folder + "/" + kPlantedName)) {
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02x", c);
      hex += digits;
    }
    expected.push_back(hex);
  }
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

TEST_F(ProgramExitTest, ProgressShowsOnATerminalOnly) {
  std::filesystem::create_directories(tree / "walked/sub");
  writeFile(tree / "walked/sub/file", "x");
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    execl(HALVIK_PROGRAM, HALVIK_PROGRAM, "--scan", (tree / "walked").c_str(), nullptr);
    _exit(127);
  }
  std::string shown;
  char buffer[4096];
  for (ssize_t read; (read = ::read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, read);
  int status = 0;
  waitpid(child, &status, 0);
  close(terminal);
  EXPECT_NE(shown.find("\r\x1b[K1 entr\u00E9e, 0 objet malicieux, "), std::string::npos) << shown;
  EXPECT_NE(shown.find("\r\x1b[KObjets Scann\u00E9s: 2"), std::string::npos) << "the line is erased before the summary";
  EXPECT_NE(shown.find("Objets malicieux: 0"), std::string::npos) << shown;

  const Outcome piped = run("--scan " + shellQuoted(tree / "walked"));
  EXPECT_EQ(piped.err.find('\x1b'), std::string::npos) << piped.err;
  EXPECT_EQ(piped.err.find('\r'), std::string::npos) << piped.err;
}

// The output of `command`, or nothing when it could not run.
std::string outputOf(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  for (std::size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, read);
  pclose(pipe);
  return output;
}

using testing_support::waitFor;

// A journald of its own: a mount namespace with a fresh /run (and journal folder), so that the
// journal it keeps is this test's alone. 77 when the system refuses it.
int withPrivateJournal(const std::function<int()> check) {
  if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", "/run", "tmpfs", 0, nullptr) != 0)
    return 77;
  if (std::filesystem::is_directory("/var/log/journal") && mount("tmpfs", "/var/log/journal", "tmpfs", 0, nullptr) != 0)
    return 77;
  const pid_t journald = fork();
  if (journald == 0) {
    execl("/lib/systemd/systemd-journald", "systemd-journald", nullptr);
    _exit(127);
  }
  if (journald < 0 || !waitFor([] { return std::filesystem::exists("/run/systemd/journal/socket"); })) return 77;
  const int result = check();
  kill(journald, SIGTERM);
  waitpid(journald, nullptr, 0);
  return result;
}

TEST_F(ProgramExitTest, SystemLogGetsEveryEventWithItsFields) {
  if (geteuid() != 0) GTEST_SKIP() << "a private journald needs root (its own mount namespace)";
  if (!std::filesystem::exists("/lib/systemd/systemd-journald")) GTEST_SKIP() << "systemd-journald is not installed";
  std::filesystem::create_directories(tree / "logged");
  writeFile(tree / ("logged/" + std::string(kPlantedName)), "x");
  const std::string report = home / "journal.json";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    _exit(withPrivateJournal([&] {
      const Outcome scan = run("--scan " + shellQuoted(tree / "logged"));
      const std::string query = "journalctl -D /run/log/journal -o json SYSLOG_IDENTIFIER=orvento-halvik";
      std::string journal;
      waitFor([&] { return (journal = outputOf(query)).find("Scan Complete!") != std::string::npos; });
      writeFile(report, journal);
      return scan.status == 1 ? 0 : 1;
    }));
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "this system refuses a private mount namespace or journald";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string journal = testing_support::readFile(report);
  const std::string path = tree / ("logged/" + std::string(kPlantedName));
  // One object a line: the hit's line carries the hit's identifier and fields.
  std::string hit;
  for (std::size_t at = 0, end; at < journal.size(); at = end + 1) {
    end = journal.find('\n', at);
    const std::string line = journal.substr(at, end - at);
    if (line.find("\"MESSAGE_ID\":\"8a61650eb9404bddafe07500f34e395c\"") != std::string::npos) hit = line;
  }
  EXPECT_NE(hit.find("\"HALVIK_PATH\":\"" + path + "\""), std::string::npos) << journal;
  EXPECT_NE(hit.find("\"HALVIK_ACTION\":\"found\""), std::string::npos) << hit;
  EXPECT_NE(hit.find("\"HALVIK_THREAT\":\"KINSING"), std::string::npos) << hit;
  EXPECT_NE(hit.find("\"HALVIK_SIGNATURES_VERSION\":\""), std::string::npos) << hit;
  EXPECT_NE(hit.find("\"PRIORITY\":\"4\""), std::string::npos) << hit;
  EXPECT_NE(journal.find("\"MESSAGE_ID\":\"da12a76933db4c808441bc7548b6e158\""), std::string::npos)
      << "the scan's start";
}

// Reads one line (without its line feed) from the descriptor `fd`; empty at its end.
std::string lineFrom(int fd) {
  std::string line;
  for (char c; ::read(fd, &c, 1) == 1 && c != '\n';) line += c;
  return line;
}

// The program watching with `options`, its standard output and error read by the test.
class Watching {
 public:
  Watching(const TempFolder& home, const std::vector<std::string>& options) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    m_child = fork();
    if (m_child == 0) {
      dup2(out[1], 1);
      dup2(err[1], 2);
      setenv("HOME", home.path().c_str(), 1);
      setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
      setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
      std::vector<char*> argv{const_cast<char*>(HALVIK_PROGRAM), const_cast<char*>("--watch")};
      for (const std::string& option : options) argv.push_back(const_cast<char*>(option.c_str()));
      argv.push_back(nullptr);
      execv(HALVIK_PROGRAM, argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    m_out = out[0];
    m_err = err[0];
  }
  ~Watching() {
    if (m_child > 0) stop();
    close(m_out);
    close(m_err);
  }

  std::string outLine() const { return lineFrom(m_out); }
  std::string errLine() const { return lineFrom(m_err); }
  // SIGTERM, then the exit status (-1 when it did not exit).
  int stop() {
    kill(m_child, SIGTERM);
    int status = 0;
    waitpid(m_child, &status, 0);
    m_child = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t m_child = 0;
  int m_out = -1;
  int m_err = -1;
};

TEST_F(ProgramExitTest, WatchPrintsEachThreatAsItAppearsAndEndsCleanlyOnSigterm) {
  Watching watching(home, {tree.path()});
  EXPECT_NE(watching.errLine().find("surveillance en cours"), std::string::npos);
  writeFile(tree / "harmless.txt", "x");
  writeFile(tree / kPlantedName, "x");
  const std::string line = watching.outLine();
  EXPECT_EQ(line.substr(line.find('\t') + 1), tree / kPlantedName);
  EXPECT_EQ(watching.stop(), 0);
  EXPECT_EQ(watching.outLine(), "") << "nothing else is written";
}

// In JSON each hit is the scan's hit object, written once repaired, and the summary ends the output.
TEST_F(ProgramExitTest, WatchInJsonWritesRepairedHitsThenTheSummaryOnSigterm) {
  Watching watching(home, {"--format=json", "--repair", tree.path()});
  EXPECT_NE(watching.errLine().find("surveillance en cours"), std::string::npos);
  std::filesystem::create_directory(tree / "new\nline");
  writeFile(tree / ("new\nline/" + std::string(kPlantedName)), "payload");
  EXPECT_EQ(watching.outLine(), "{\"type\":\"hit\",\"threat\":\"KINSING (H2MINER) BOTNET AGENT\",\"path\":\"" +
                                    tree.path() + "/new\\nline/kinsing\",\"action\":\"quarantined\"}");
  EXPECT_FALSE(std::filesystem::exists(tree / ("new\nline/" + std::string(kPlantedName))));
  EXPECT_EQ(watching.stop(), 0);
  const std::string summary = watching.outLine();
  EXPECT_EQ(summary.rfind("{\"type\":\"summary\",\"scanned\":0,\"hits\":1,\"unreadable\":0,\"excluded\":0,", 0), 0u)
      << summary;
  EXPECT_NE(summary.find(",\"status\":0}"), std::string::npos) << summary;
  EXPECT_EQ(watching.outLine(), "");
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
      const Outcome outcome = run(option + shellQuoted(tree / "clean"), "timeout 60 " + shellQuoted(copy));
      EXPECT_EQ(outcome.status, 2) << option << what;
      EXPECT_EQ(outcome.out, "") << option << what;
      EXPECT_NE(outcome.err.find("aucune base de signatures valide"), std::string::npos)
          << option << what << ": " << outcome.err;
    }
  }
}

}  // namespace

}  // namespace halvik::app
