// CPU use of the built companion (Sentrel.exe), measured from its own /proc counters: idle with
// the watch of folders on over its default folders (as a user: no whole file systems) for 60
// seconds (one clock tick is then 0.017 %), and as root (every local file system marked whole: what the rest of the
// machine writes meanwhile is its events) for 20 seconds; then at the monitor's fastest period (1000 ms) with 300 extra
// sleeping child processes to check for 30 seconds. Baseline: the same companion with its monitor and watch off over 10
// seconds. Goals: idle with the watch under 0.1 % of one core, checking under 1 %.
#include "SleepingChildren.h"
#include "core/Locations.h"
#include "core/Settings.h"
#include "support/TestEnvironment.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace halvik::bench {

namespace {

// User and system time of process `pid` so far, in seconds.
double cpuSecondsOf(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(in, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int index = 3; fields >> field; ++index)
    if (index == 14 || index == 15) ticks += std::stod(field);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Starts the companion copied into the program folder, lets it settle, and returns the percent of
// one core it used over `seconds`.
// `asAUser`: as root, without the right to administer the system (no watch of whole file systems).
double companionPercent(const std::string& program, const std::string& root, int seconds, bool asAUser = false) {
  std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen",           "HOME=" + root + "/home",
                                       "XDG_CONFIG_HOME=" + root + "/config", "XDG_RUNTIME_DIR=" + root + "/runtime",
                                       "DBUS_SESSION_BUS_ADDRESS=disabled:",  "PATH=/usr/bin:/bin"};
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> words{program};
  if (asAUser && geteuid() == 0) words.insert(words.begin(), {"/usr/bin/setpriv", "--bounding-set=-sys_admin", "--"});
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  std::this_thread::sleep_for(std::chrono::seconds(3));  // start-up is not idling
  if (waitpid(pid, nullptr, WNOHANG) != 0) return -1;    // it did not start
  const double before = cpuSecondsOf(pid);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double used = cpuSecondsOf(pid) - before;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  return used * 100.0 / seconds;
}

}  // namespace

int run() {
  testing_support::TestEnvironment environment;
  const std::string root = environment.root().path();
  const std::string program = environment.programFolder() + "/" + core::kCompanionProgram;
  std::filesystem::copy_file(std::string(HALVIK_PROGRAM_FOLDER) + "/" + core::kCompanionProgram, program);
  std::filesystem::create_directories(root + "/config/orvento-halvik");
  std::filesystem::permissions(root + "/runtime", std::filesystem::perms::owner_all);
  environment->settingsFile = root + "/config/orvento-halvik/settings.ini";
  SleepingChildren children(environment.root() / "sleeping-child", 300);

  std::filesystem::create_directories(root + "/home");
  core::settings::write(core::settings::Key::AdMonitorRefresh, "1000");
  core::settings::write(core::settings::Key::LoadAdMonitor, "0");
  core::settings::write(core::settings::Key::WatchFiles, "0");
  const double off = companionPercent(program, root, 10);
  core::settings::write(core::settings::Key::WatchFiles, "1");
  const double watching = companionPercent(program, root, 60, true);
  const double watchingAll = geteuid() == 0 ? companionPercent(program, root, 20) : -1;
  core::settings::write(core::settings::Key::WatchFiles, "0");
  core::settings::write(core::settings::Key::LoadAdMonitor, "1");
  const double on = companionPercent(program, root, 30);

  std::printf("%zu sleeping children\n", children.size());
  std::printf("companion, monitor and watch off (10 s):  %6.3f %% of one core\n", off);
  std::printf("companion, watch of the default folders as a user, idle (60 s): %6.3f %% of one core\n", watching);
  if (watchingAll >= 0)
    std::printf("companion, watch of every local file system as root (20 s, the machine's own writes): %6.3f %%\n",
                watchingAll);
  std::printf("watch idle / goal of 0.1 %%: %.2f (goal <= 1.00) %s\n", watching / 0.1,
              watching >= 0 && watching < 0.1 ? "met" : "NOT MET");
  std::printf("companion, checks every 1000 ms (30 s): %6.2f %% of one core\n", on);
  std::printf("checking / idle: %.1f\n", off > 0 ? on / off : 0.0);
  std::printf("checking / goal of 1 %%: %.2f (goal <= 1.00) %s\n", on / 1.0, on >= 0 && on < 1.0 ? "met" : "NOT MET");
  return 0;
}

}  // namespace halvik::bench

int main() { return halvik::bench::run(); }
