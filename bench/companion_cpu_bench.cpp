// CPU use of the built companion (Sentrel.exe) at its fastest period (1000 ms) with 300 extra
// sleeping child processes to check, measured from its own /proc counters over 30 seconds;
// baseline: the same companion with its monitor off ("LoadAdMonitor" = "0") over 10 seconds.
// Goal: the companion stays under 1 % of one core.
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
double companionPercent(const std::string& program, const std::string& root, int seconds) {
  std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + root + "/config",
                                       "XDG_RUNTIME_DIR=" + root + "/runtime", "DBUS_SESSION_BUS_ADDRESS=disabled:"};
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  std::this_thread::sleep_for(std::chrono::seconds(3));  // start-up is not idling
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

  core::settings::write(core::settings::Key::AdMonitorRefresh, "1000");
  core::settings::write(core::settings::Key::LoadAdMonitor, "0");
  const double off = companionPercent(program, root, 10);
  core::settings::write(core::settings::Key::LoadAdMonitor, "1");
  const double on = companionPercent(program, root, 30);

  std::printf("%zu sleeping children\n", children.size());
  std::printf("companion, monitor off (10 s):       %6.2f %% of one core\n", off);
  std::printf("companion, checks every 1000 ms (30 s): %6.2f %% of one core\n", on);
  std::printf("checking / idle: %.1f\n", off > 0 ? on / off : 0.0);
  std::printf("checking / goal of 1 %%: %.2f (goal <= 1.00) %s\n", on / 1.0, on >= 0 && on < 1.0 ? "met" : "NOT MET");
  return 0;
}

}  // namespace halvik::bench

int main() { return halvik::bench::run(); }
