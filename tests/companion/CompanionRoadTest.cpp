// The built companion as a user meets it: started under a virtual display on a private session
// bus whose notification service is the test's own, with a process planted under a database name.
// It must suspend the process, log it once per check, notify it once, open the main program on its
// monitor page when the notification is clicked, pause while the main window's monitor is on, and
// a second copy must leave at once. Skipped, with the reason, where dbus-run-session or Xvfb is
// missing (scripts/deps installs both).
#include "core/Locations.h"
#include "core/Settings.h"
#include "platform/Ascii.h"
#include "platform/Platform.h"
#include "process/MonitorLock.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

namespace halvik::companion {

namespace {

using namespace std::chrono_literals;
using testing_support::readFile;

bool onPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

using testing_support::waitFor;

// A program started by the test with extra environment variables; killed and reaped at the end.
class Started {
 public:
  Started(std::vector<std::string> words, const std::vector<std::string>& extraEnvironment, int outputFd = -1) {
    std::vector<std::string> environment(extraEnvironment);
    for (char** entry = environ; *entry; ++entry) environment.emplace_back(*entry);
    std::vector<char*> argv, envp;
    for (auto& word : words) argv.push_back(word.data());
    for (auto& entry : environment) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFd >= 0) posix_spawn_file_actions_adddup2(&actions, outputFd, 3);
    if (posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) m_pid = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Started() { stop(); }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  pid_t pid() const { return m_pid; }
  // Still running: not ended, whatever its state (a process waiting for a core reads "R").
  bool running() const { return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0; }

  void stop() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    if (!exitedWithin(5s)) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    m_pid = 0;
  }

  // Waits for the program to end on its own; its exit code, or -1 when it still runs.
  int exitCodeWithin(std::chrono::milliseconds limit) {
    int status = 0;
    const bool ended = waitFor([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, limit);
    if (!ended) return -1;
    m_pid = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  bool exitedWithin(std::chrono::milliseconds limit) {
    return waitFor([&] { return waitpid(m_pid, nullptr, WNOHANG) == m_pid; }, limit);
  }
  pid_t m_pid = 0;
};

std::vector<std::string> linesOf(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(readFile(path));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Processes of the main program in the test's program folder (started by the companion, detached),
// before or after it runs the window program in its place.
std::vector<std::uint32_t> mainPrograms() {
  std::vector<std::uint32_t> found;
  for (const auto& process : platform::listProcesses())
    if (core::isProgramFile(process.imagePath, core::kMainProgram) ||
        core::isProgramFile(process.imagePath, core::kWindowProgram))
      found.push_back(process.processId);
  return found;
}

std::string commandLineOf(std::uint32_t pid) {
  std::string words = readFile("/proc/" + std::to_string(pid) + "/cmdline");
  std::replace(words.begin(), words.end(), '\0', ' ');
  return words;
}

void endMainPrograms() {
  for (const std::uint32_t pid : mainPrograms()) kill(static_cast<pid_t>(pid), SIGTERM);
  waitFor([] { return mainPrograms().empty(); }, 5s);
}

class CompanionRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"dbus-run-session", "Xvfb"})
      if (!onPath(tool))
        GTEST_SKIP() << tool
                     << " is missing: the companion needs a session bus and a display (scripts/deps installs them)";
    makeProgramFolder();
    startDisplay();
    startBus();
  }

  void TearDown() override {
    companion.reset();
    endMainPrograms();
    // Ending the notification service ends dbus-run-session, which takes its bus down with it.
    if (const std::string pid = readFile(m_work / "bus/pid"); !pid.empty() && bus) {
      kill(static_cast<pid_t>(std::stol(pid)), SIGTERM);
      bus->exitCodeWithin(5s);
    }
    bus.reset();
    display.reset();
  }

  // The built programs copied to a program folder of the test's own, with its own database, and
  // the settings every program of that folder reads.
  void makeProgramFolder() {
    std::filesystem::create_directories(m_work / "program");
    std::filesystem::create_directories(m_work / "config/orvento-halvik");
    std::filesystem::create_directories(m_work / "runtime");
    std::filesystem::permissions(m_work / "runtime", std::filesystem::perms::owner_all);
    std::filesystem::create_directories(m_work / "bus");
    for (const char* program : {core::kMainProgram, core::kWindowProgram, core::kCompanionProgram})
      std::filesystem::copy_file(std::string(HALVIK_PROGRAM_FOLDER) + "/" + program,
                                 m_work / "program" + "/" + program);
    m_testEnvironment->programFolder = m_work / "program";
    m_testEnvironment->settingsFile = m_work / "config/orvento-halvik/settings.ini";
    m_testEnvironment->autostartFolder = m_work / "autostart";
    m_testEnvironment->runtimeFolder = m_work / "runtime";
    testing_support::writeReferenceDatabase({{m_planted, "Test.Planted"}, {m_second, "Test.Second"}});
    testing_support::writeFile(core::programFile("scan.dll"), "[Scanfiles]\r\n");
    core::settings::write(core::settings::Key::LoadAdMonitor, "1");
    core::settings::write(core::settings::Key::AdMonitorRefresh, "1000");
    // The monitor's road alone: the watch of folders would first list the machine's /tmp.
    core::settings::write(core::settings::Key::WatchFiles, "0");
  }

  void startDisplay() {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    display = std::make_unique<Started>(std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0",
                                                                 "800x600x24", "-nolisten", "tcp"},
                                        std::vector<std::string>{}, fds[1]);
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    m_environment.push_back("DISPLAY=:" + number);
  }

  void startBus() {
    bus = std::make_unique<Started>(std::vector<std::string>{"dbus-run-session", "--", HALVIK_NOTIFICATION_SERVER,
                                                             m_work / "bus", m_serverOption},
                                    std::vector<std::string>{});
    const std::string address = m_work / "bus/address";
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(address); }, 10s))
        << "the notification service did not start";
    m_environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + readFile(address));
    m_environment.push_back("XDG_CONFIG_HOME=" + (m_work / "config"));
    m_environment.push_back("XDG_RUNTIME_DIR=" + (m_work / "runtime"));
    m_environment.push_back("QT_QPA_PLATFORM=xcb");
  }

  // As a user: as root, without the right to administer the system (no watch of whole file systems).
  std::unique_ptr<Started> startCompanion(bool asAUser = false) {
    std::vector<std::string> words{core::programFile(core::kCompanionProgram)};
    if (asAUser && geteuid() == 0) words.insert(words.begin(), {"setpriv", "--bounding-set=-sys_admin", "--"});
    return std::make_unique<Started>(words, m_environment);
  }

  std::vector<std::string> notifications() { return linesOf(m_work / "bus/notifications"); }

  long suspensionLines(const std::string& name, const std::string& threat) {
    return testing_support::countOf(testing_support::logMessages(),
                                    name + ", a running process, is found as malicious. Suspsending: " + threat);
  }

  testing_support::TempFolder m_work;
  testing_support::TestEnvironment m_testEnvironment;
  std::string m_planted = testing_support::uniqueName("planted");
  std::string m_second = testing_support::uniqueName("second");
  std::vector<std::string> m_environment;
  std::string m_serverOption = "--click-first";
  std::unique_ptr<Started> display, bus, companion;
};

TEST_F(CompanionRoadTest, SuspendsLogsAndNotifiesOnceOpensTheMonitorPagePausesForTheMainWindowAndStaysAlone) {
  companion = startCompanion();
  ASSERT_GT(companion->pid(), 0);
  const std::string instanceLock = m_work / "runtime/orvento-halvik-companion.lock";
  ASSERT_TRUE(waitFor([&] { return !platform::FileLock::tryTake(instanceLock).held(); }, 10s))
      << "the companion did not start";

  // A second copy in the same session leaves at once, and leaves the first one running.
  Started second({core::programFile(core::kCompanionProgram)}, m_environment);
  EXPECT_EQ(second.exitCodeWithin(5s), 0);
  EXPECT_TRUE(companion->running());

  testing_support::ChildProcess planted(m_work / m_planted);
  ASSERT_TRUE(planted.waitForState('T') || waitFor([&] { return planted.state() == 'T'; }, 5s))
      << "the planted process was not suspended";
  const auto suspendedAt = std::chrono::steady_clock::now();

  // Notified once, in French, with the image path; the click opens the main program on page 2.
  ASSERT_TRUE(waitFor([&] { return !notifications().empty(); }, 5s));
  ASSERT_TRUE(waitFor([] { return !mainPrograms().empty(); }, 10s)) << "the click did not start the main program";
  EXPECT_NE(commandLineOf(mainPrograms().front()).find(" --page 2"), std::string::npos)
      << commandLineOf(mainPrograms().front());

  // The main program switches its monitor on at start (the stored setting): the companion pauses.
  process::MonitorLock probe(core::runtimeFile(process::MonitorLock::kFileName));
  const auto heldByOthers = [&probe] {
    const bool free = probe.take();
    probe.release();
    return !free;
  };
  // Held without a break for longer than one of the companion's own checks lasts, even on a
  // busy machine: the window may take the lock only at its first tick when a check held it at
  // the window's start.
  const auto heldForAWhile = [&] {
    for (int probe = 0; probe < 15; ++probe) {
      if (!heldByOthers()) return false;
      std::this_thread::sleep_for(100ms);
    }
    return true;
  };
  ASSERT_TRUE(waitFor(heldForAWhile, 10s)) << "the main window's monitor did not take the lock";
  const long linesBeforePause = suspensionLines(m_planted, "Test.Planted");
  const double secondsSuspended = std::chrono::duration<double>(std::chrono::steady_clock::now() - suspendedAt).count();
  // One line per check of one second (the first at the suspension itself), never more.
  EXPECT_GE(linesBeforePause, 1);
  EXPECT_LE(linesBeforePause, static_cast<long>(secondsSuspended) + 2);

  testing_support::ChildProcess secondPlanted(m_work / m_second);
  std::this_thread::sleep_for(2500ms);  // the main window's first tick comes 5 s after its start
  EXPECT_FALSE(secondPlanted.stopSent()) << "the companion checked while the main window's monitor was on";
  EXPECT_EQ(suspensionLines(m_second, "Test.Second"), 0);

  // The main program ends: the companion resumes and suspends the second process.
  endMainPrograms();
  EXPECT_TRUE(waitFor([&] { return secondPlanted.state() == 'T'; }, 5s)) << "the companion did not resume";
  ASSERT_TRUE(waitFor([&] { return notifications().size() == 2; }, 5s));
  std::this_thread::sleep_for(2500ms);

  const std::vector<std::string> received = notifications();
  ASSERT_EQ(received.size(), 2u) << "a process was notified more than once";
  EXPECT_EQ(received[0], "Orvento Halvik\tTest.Planted a \u00E9t\u00E9 suspendu\t" + (m_work / m_planted) +
                             "\tdefault,Ouvrir,resume,Reprendre");
  EXPECT_EQ(received[1], "Orvento Halvik\tTest.Second a \u00E9t\u00E9 suspendu\t" + (m_work / m_second) +
                             "\tdefault,Ouvrir,resume,Reprendre");
  EXPECT_TRUE(companion->running()) << "the companion stopped";
}

// The watch of folders: the companion's defaults, from a user-dirs.dirs of the test's own; the
// notification service chooses "Mettre en quarantaine" on every notice that offers it.
class CompanionWatchRoadTest : public CompanionRoadTest {
 protected:
  CompanionWatchRoadTest() { m_serverOption = "--choose=quarantine"; }
  void SetUp() override {
    CompanionRoadTest::SetUp();
    if (IsSkipped()) return;
    testing_support::writeFile(core::programFile("scan.dll"),
                               "[Scanfiles]\r\n" + platform::upperCase(m_threat) + "=Test.Watch\r\n");
    core::settings::write(core::settings::Key::LoadAdMonitor, "0");
    core::settings::write(core::settings::Key::WatchFiles, "1");
    std::filesystem::create_directories(m_work / "home/T\u00E9l\u00E9chargements");
    testing_support::writeFile(m_work / "config/user-dirs.dirs",
                               "XDG_DOWNLOAD_DIR=\"$HOME/T\u00E9l\u00E9chargements\"\n");
    testing_support::writeFile(m_work / m_threat, "payload");
    m_environment.insert(m_environment.begin(), "HOME=" + (m_work / "home"));
  }

  // The companion started, a threat copied into the download folder: notified within a second,
  // quarantined from the notice.
  void dropIntoDownloads(bool asAUser) {
    companion = startCompanion(asAUser);
    std::string started;
    ASSERT_TRUE(waitFor(
        [&] {
          for (const std::string& line : testing_support::logMessages())
            if (line.rfind("The file watch started", 0) == 0) started = line;
          return !started.empty();
        },
        60s))
        << "the watch did not start";
    if (asAUser) {
      EXPECT_NE(started.find("by folder"), std::string::npos) << started;
    }
    const std::string dropped = m_work / ("home/T\u00E9l\u00E9chargements/" + m_threat);
    std::filesystem::copy_file(m_work / m_threat, dropped);
    EXPECT_TRUE(waitFor([&] { return !notifications().empty(); }, 1s)) << "not notified within a second";
    // A notice is one line: what became of the file follows its path.
    ASSERT_TRUE(waitFor([&] { return notifications().size() == 2; }, 10s))
        << testing_support::readFile(m_work / "bus/notifications");
    EXPECT_EQ(testing_support::readFile(m_work / "bus/notifications"),
              "Orvento Halvik\tTEST.WATCH d\u00E9tect\u00E9\t" + dropped +
                  "\tdefault,Ouvrir,quarantine,Mettre en quarantaine,ignore,Ignorer\n"
                  "Orvento Halvik\tTEST.WATCH d\u00E9tect\u00E9\t" +
                  dropped + " \u2014 Mis en quarantaine.\tdefault,Ouvrir\n");
    EXPECT_FALSE(std::filesystem::exists(dropped));
    EXPECT_EQ(testing_support::readFile(core::programFile("Quarintine/" + m_threat + ".aaq")), "payload");
  }

  std::string m_threat = testing_support::uniqueName("dropped");
};

// As root the watch covers every local file system, the download folder's included.
TEST_F(CompanionWatchRoadTest, AThreatCopiedIntoDownloadsIsNotifiedAtOnceAndQuarantinedFromTheNotice) {
  dropIntoDownloads(false);
}

// As a user the watch covers the defaults, the download folder of user-dirs.dirs among them.
TEST_F(CompanionWatchRoadTest, AsAUserTheDownloadFolderOfUserDirsIsWatched) { dropIntoDownloads(true); }

// "Reprendre" on the notice of a suspension: the notification service chooses it on every notice
// that offers it. The process runs again, and the companion's later checks leave it running.
class CompanionResumeRoadTest : public CompanionRoadTest {
 protected:
  CompanionResumeRoadTest() { m_serverOption = "--choose=resume"; }
};

TEST_F(CompanionResumeRoadTest, ReprendreOnTheNoticeLetsTheProcessRunAndLaterChecksSpareIt) {
  testing_support::ChildProcess planted(m_work / m_planted);
  companion = startCompanion();
  const auto resumed = [](const std::string& path) {
    return testing_support::countOf(testing_support::logMessages(), "User Resumed Process " + path) == 1;
  };
  ASSERT_TRUE(waitFor([&] { return resumed(m_work / m_planted); }, 30s)) << "not resumed from the notice";
  EXPECT_NE(planted.state(), 'T');

  // A check after the resumption suspends a new process and spares the resumed one.
  testing_support::ChildProcess second(m_work / m_second);
  ASSERT_TRUE(waitFor([&] { return suspensionLines(m_second, "Test.Second") == 1; }, 30s));
  EXPECT_FALSE(planted.stopSent());
  EXPECT_EQ(suspensionLines(m_planted, "Test.Planted"), 1);
  EXPECT_TRUE(waitFor([&] { return resumed(m_work / m_second); }, 30s));
}

}  // namespace

}  // namespace halvik::companion
