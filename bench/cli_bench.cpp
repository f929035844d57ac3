// Speed of `orvento-halvik --scan` against the tools a user would pick to walk a tree, timed
// interleaved in one run on /usr and on a generated tree of 200,000 entries, warm and then cold
// (the page cache dropped before every run; root only):
//   - orvento-halvik --scan ROOT (one thread per core), and the same with --jobs 1;
//   - find ROOT -xdev -printf '%f\n';
//   - fdfind -HI --no-ignore -u --one-file-system PATTERN ROOT, with a pattern that matches nothing;
//   - a bare single-thread getdents64 walk (this program run as `cli_bench --bare ROOT`): the floor.
// Every program writes to /dev/null. Printed: the median time of each, and the ratios the goals
// name: --scan / fdfind <= 0.9, --jobs 1 / bare <= 1.15, --scan / find <= 0.55; and the load
// average of the machine at the start and at the end, since other work on it skews every figure.
// Usage: cli_bench [runs] [tree-parent-folder]   (defaults: 5 runs, the working folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kEntries = 200000;

// ---- The floor: a single-thread getdents64 walk --------------------------------------------

long bareWalk(int parent, const char* name) {
  const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return 0;
  long entries = 0;
  alignas(8) char buffer[65536];
  std::vector<std::string> folders;
  for (long read; (read = syscall(SYS_getdents64, fd, buffer, sizeof buffer)) > 0;) {
    for (long at = 0; at < read;) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
      at += entry->d_reclen;
      if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
      ++entries;
      if (entry->d_type == DT_DIR) folders.emplace_back(entry->d_name);
    }
  }
  for (const std::string& folder : folders) entries += bareWalk(fd, folder.c_str());
  close(fd);
  return entries;
}

// ---- The generated tree ---------------------------------------------------------------------

void touch(const std::string& path) { close(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644)); }

// 200,000 entries: 2,000 folders in two levels, plain files, a few hidden ones, a link loop,
// and a handful of names the shipped database lists.
void makeTree(const std::string& root) {
  fs::create_directories(root);
  int made = 0;
  for (int top = 0; top < 40 && made < kEntries; ++top) {
    const std::string upper = root + "/dir" + std::to_string(top);
    mkdir(upper.c_str(), 0755);
    ++made;
    for (int sub = 0; sub < 50 && made < kEntries; ++sub) {
      const std::string folder = upper + "/sub" + std::to_string(sub);
      mkdir(folder.c_str(), 0755);
      ++made;
      for (int file = 0; file < 98 && made < kEntries; ++file, ++made)
        touch(folder + (file % 25 == 0 ? "/.hidden" : "/file") + std::to_string(file) + ".dat");
      if (sub == 0) symlink("..", (folder + "/up").c_str());
    }
  }
  for (; made < kEntries; ++made) touch(root + "/extra" + std::to_string(made));
  touch(root + "/dir1/sub1/kinsing");
}

// ---- Timing ---------------------------------------------------------------------------------

struct Tool {
  std::string name;
  std::vector<std::string> arguments;  // the program first
};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Runs `tool` with its output thrown away; the wall time, or a negative time when it failed to run.
double timed(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t child = 0;
  const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return -1;
  int status = 0;
  waitpid(child, &status, 0);
  const double elapsed = seconds(Clock::now() - start);
  // --scan exits with 1 when it finds something: that is a run all the same.
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? elapsed : -1;
}

bool dropCaches() {
  sync();
  std::ofstream drop("/proc/sys/vm/drop_caches");
  drop << "3\n";
  return static_cast<bool>(drop.flush());
}

std::string loadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

std::vector<Tool> toolsFor(const std::string& self, const std::string& root) {
  return {
      {"orvento-halvik --scan", {HALVIK_PROGRAM, "--scan", root}},
      {"orvento-halvik --scan --jobs 1", {HALVIK_PROGRAM, "--scan", "--jobs", "1", root}},
      {"find -xdev -printf", {"find", root, "-xdev", "-printf", "%f\n"}},
      {"fdfind -HI -u --one-file-system",
       {"fdfind", "-HI", "--no-ignore", "-u", "--one-file-system", "^no-such-name-anywhere$", root}},
      {"bare getdents64 walk", {self, "--bare", root}},
  };
}

// Times every tool `runs` times, interleaved, and prints the medians and the ratios.
void measure(const std::string& self, const std::string& root, int runs, bool cold) {
  const std::vector<Tool> tools = toolsFor(self, root);
  std::map<std::string, std::vector<double>> times;
  if (!cold)
    for (const Tool& tool : tools) timed(tool.arguments);  // warms the cache
  for (int run = 0; run < runs; ++run) {
    for (const Tool& tool : tools) {
      if (cold && !dropCaches()) {
        std::printf("%s, cold: skipped (dropping the page cache needs root)\n", root.c_str());
        return;
      }
      const double time = timed(tool.arguments);
      if (time >= 0) times[tool.name].push_back(time);
    }
  }
  std::printf("%s, %s, median of %d (load %s):\n", root.c_str(), cold ? "cold" : "warm", runs, loadAverage().c_str());
  std::map<std::string, double> medians;
  for (const Tool& tool : tools) {
    medians[tool.name] = median(times[tool.name]);
    std::printf("  %-34s %8.1f ms\n", tool.name.c_str(), medians[tool.name] * 1000);
  }
  const auto ratio = [&](const char* what, const std::string& a, const std::string& b, double goal) {
    const double value = medians[a] / medians[b];
    std::printf("  %-34s %8.2f   (goal <= %.2f: %s)\n", what, value, goal, value <= goal ? "met" : "NOT met");
  };
  ratio("--scan / fdfind", tools[0].name, tools[3].name, 0.9);
  ratio("--jobs 1 / bare walk", tools[1].name, tools[4].name, 1.15);
  ratio("--scan / find", tools[0].name, tools[2].name, 0.55);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 3 && std::strcmp(argv[1], "--bare") == 0) return bareWalk(AT_FDCWD, argv[2]) >= 0 ? 0 : 2;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string parent = argc > 2 ? argv[2] : fs::current_path().string();
  const std::string self = fs::canonical("/proc/self/exe").string();
  // The program's own files go to a scratch home, so that the runs leave the user's alone.
  const std::string home = parent + "/cli_bench_home";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  const std::string tree = parent + "/cli_bench_tree";
  std::error_code ignored;
  fs::remove_all(tree, ignored);
  makeTree(tree);
  std::printf("cli_bench: %u cores, load at start %s\n", std::max(1u, std::thread::hardware_concurrency()),
              loadAverage().c_str());
  for (const bool cold : {false, true})
    for (const std::string& root : {std::string("/usr"), tree}) measure(self, root, runs, cold);
  std::printf("load at the end %s\n", loadAverage().c_str());
  fs::remove_all(tree, ignored);
  fs::remove_all(home, ignored);
  return 0;
}
