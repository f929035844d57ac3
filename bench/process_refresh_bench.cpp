// One refresh of the monitor's list (listing, lookups and the check, into a view that only keeps
// the rows) against a bare loop that only reads every /proc/<pid>/exe link, and `ps -e -o pid=,exe=`
// for reference, with 300 extra sleeping child processes. Goal: the refresh at most 2 times the loop.
#include "SleepingChildren.h"
#include "core/Locations.h"
#include "process/ProcessListView.h"
#include "process/mProcess.h"
#include "support/TestEnvironment.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace halvik::bench {

namespace {

constexpr int kChildren = 300;
constexpr int kRounds = 25;

class KeepingView : public process::ProcessListView {
 public:
  void clear() override { rows.clear(); }
  int addRow(const std::string& imagePath) override {
    rows.push_back({imagePath, {}, {}});
    return static_cast<int>(rows.size()) - 1;
  }
  void setSubItems(int row, const std::string& status, const std::string& action) override {
    rows[static_cast<std::size_t>(row)].status = status;
    rows[static_cast<std::size_t>(row)].action = action;
  }
  void setTag(int, std::uint32_t, std::uint64_t) override {}

  struct Row {
    std::string path, status, action;
  };
  std::vector<Row> rows;
};

std::size_t bareLoop() {
  std::size_t readable = 0;
  DIR* dir = opendir("/proc");
  char target[4096];
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    const std::string link = std::string("/proc/") + entry->d_name + "/exe";
    if (readlink(link.c_str(), target, sizeof target) > 0) ++readable;
  }
  closedir(dir);
  return readable;
}

std::size_t psCommand() {
  FILE* pipe = popen("ps -e -o pid=,exe=", "r");
  std::size_t lines = 0;
  char buffer[8192];
  while (fgets(buffer, sizeof buffer, pipe)) ++lines;
  pclose(pipe);
  return lines;
}

template <typename Work>
double microseconds(Work work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A reference database of a realistic size whose names no running program has.
void writeDatabase() {
  std::string text = "[Scanfiles]\r\n";
  for (int i = 0; i < 2000; ++i)
    text += "BENCH-ENTRY-" + std::to_string(i) + ".EXE=Bench threat " + std::to_string(i) + "\r\n";
  testing_support::writeFile(core::programFile("REFERENCE_6-27-03.dat"), text);
}

}  // namespace

int run() {
  testing_support::TestEnvironment environment;
  writeDatabase();
  SleepingChildren children(environment.root() / "sleeping-child", kChildren);

  KeepingView view;
  std::size_t readable = 0;
  std::size_t psLines = 0;
  // The rounds interleave the measurements, so that a busy moment of the machine weighs on all alike.
  std::vector<double> refreshTimes, listingTimes, loopTimes, psTimes;
  for (int round = 0; round < kRounds; ++round) {
    refreshTimes.push_back(microseconds([&] { process::mProcess::RefreshProcessList(view); }));
    listingTimes.push_back(microseconds([&] { process::mProcess::ListProcesses(); }));
    loopTimes.push_back(microseconds([&] { readable = bareLoop(); }));
    psTimes.push_back(microseconds([&] { psLines = psCommand(); }));
  }
  const double refresh = median(refreshTimes);
  const double listing = median(listingTimes);
  const double loop = median(loopTimes);
  const double ps = median(psTimes);

  std::printf("processes: %zu listed by the refresh, %zu readable links, %zu lines from ps (%zu sleeping children)\n",
              view.rows.size(), readable, psLines, children.size());
  std::printf("median of %d rounds:\n", kRounds);
  std::printf("  RefreshProcessList (fake view)   %9.0f us\n", refresh);
  std::printf("    of which ListProcesses alone     %9.0f us\n", listing);
  std::printf("  bare loop over /proc/<pid>/exe   %9.0f us\n", loop);
  std::printf("  ps -e -o pid=,exe=               %9.0f us\n", ps);
  std::printf("ratio refresh / bare loop: %.2f (goal <= 2.00) %s\n", refresh / loop,
              refresh / loop <= 2.0 ? "met" : "NOT MET");
  std::printf("ratio ps / bare loop: %.2f\n", ps / loop);
  return 0;
}

}  // namespace halvik::bench

int main() { return halvik::bench::run(); }
