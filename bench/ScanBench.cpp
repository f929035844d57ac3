// Speed of a whole-tree scan against `find`, measured in one run over one generated tree.
//
// The tree holds 200,000 entries: nested folders of plain files, hidden files and folders,
// symbolic links (a loop and a link to the root among them), five chains 1,000 folders deep and
// files with odd names (spaces, bytes that are not UTF-8, 255-byte names). The database holds
// 100,000 entries; 600 files of the tree carry a name from it. Printed, each as a ratio to the
// walk limit `find ROOT -xdev -printf '%f\n' > /dev/null`:
//   - the pipeline a user would write: find ... | tr a-z A-Z | grep -Fxf names;
//   - our walker (mScanFiles::StartScan) through a no-op view and a no-op yield, once with the
//     database load included and once with the database already loaded;
//   - a whole scan from the scan page's "Suivant" through the real results window, offscreen.
// Also the hit counts of all four (they must be equal) and the peak memory the walk adds.
// Goals: walker with load <= 1.5, loaded <= 1.0, pipeline / walker >= 4, whole scan <= 2.0,
// walk memory <= 64 MB.
// With folders as arguments (`scan_bench /usr ~`), it walks each of them instead, with the same
// database, and prints the walker's time against find's walk of the same folder.
#include "core/Locations.h"
#include "engine/CurrentSignatures.h"
#include "engine/mScanFiles.h"
#include "scan/ScanPage.h"
#include "scan/ScanPresenter.h"
#include "scan/frmScan.h"
#include "support/TestEnvironment.h"
#include "ui/frmMain.h"
#include "widgets/OrventoCmd.h"

#include <QApplication>
#include <QRadioButton>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::bench {

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kEntries = 200000;
constexpr int kDatabaseEntries = 100000;
constexpr int kRuns = 5;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string databaseName(int i) { return "SpyWare" + std::to_string(10000 + i) + (i % 3 ? ".exe" : ".dll"); }

std::string upper(std::string text) {
  for (char& c : text) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return text;
}

// Makes the tree and counts what it makes, so that it holds exactly kEntries entries.
class TreeMaker {
 public:
  explicit TreeMaker(std::string root) : m_root(std::move(root)) { mkdir(m_root.c_str(), 0755); }

  void build() {
    deepChains();
    oddNames();
    linksAndLoops();
    hiddenEntries();
    for (int top = 0; m_made < kEntries; ++top) {
      const std::string topFolder = folder(m_root + "/part" + std::to_string(top));
      for (int sub = 0; sub < 50 && m_made < kEntries; ++sub) {
        const std::string leaf = folder(topFolder + "/folder " + std::to_string(sub));
        for (int file = 0; file < 80 && m_made < kEntries; ++file) {
          const bool threat = m_hits < 600 && (m_made % 331) == 0;
          // A threat's name in another case than the database's: lookups fold ASCII case.
          touch(leaf + "/" + (threat ? nextThreat() : "document" + std::to_string(file) + ".txt"));
        }
      }
    }
  }

  int hits() const { return m_hits; }

 private:
  std::string folder(const std::string& path) {
    mkdir(path.c_str(), 0755);
    ++m_made;
    return path;
  }
  void touch(const std::string& path) {
    close(open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    ++m_made;
  }
  void link(const std::string& target, const std::string& path) {
    if (symlink(target.c_str(), path.c_str()) == 0) ++m_made;
  }
  std::string nextThreat() {
    std::string name = databaseName((m_hits * 163) % kDatabaseEntries);
    ++m_hits;
    return m_hits % 2 ? name : upper(name);
  }

  void deepChains() {
    for (int chain = 0; chain < 5; ++chain) {
      std::string path = folder(m_root + "/chain" + std::to_string(chain));
      int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      for (int level = 0; level < 1000; ++level) {  // paths beyond the system's limit: made relative
        mkdirat(fd, "level", 0755);
        const int next = openat(fd, "level", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(fd);
        fd = next;
        ++m_made;
      }
      close(openat(fd, nextThreat().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
      ++m_made;
      close(fd);
    }
  }

  void oddNames() {
    const std::string odd = folder(m_root + "/odd names");
    for (int i = 0; i < 1000; ++i) {
      switch (i % 4) {
        case 0: touch(odd + "/with  spaces " + std::to_string(i) + " .txt"); break;
        case 1: touch(odd + "/caf\xE9-\xFF\xFE-" + std::to_string(i)); break;
        case 2: touch(odd + "/" + std::string(250, 'n') + std::to_string(1000 + i).substr(0, 4) + "x"); break;
        default: touch(odd + "/tab\there-" + std::to_string(i)); break;
      }
    }
  }

  void linksAndLoops() {
    const std::string links = folder(m_root + "/links");
    link("..", links + "/loop");
    link(m_root, links + "/to root");
    link("/", links + "/system root");
    for (int i = 0; i < 2000; ++i) link("../odd names", links + "/link" + std::to_string(i));
  }

  void hiddenEntries() {
    for (int i = 0; i < 200; ++i) {
      const std::string hidden = folder(m_root + "/.hidden" + std::to_string(i));
      for (int file = 0; file < 10; ++file) touch(hidden + "/document" + std::to_string(file) + ".txt");
      touch(m_root + "/.dotfile" + std::to_string(i));
    }
  }

  std::string m_root;
  int m_made = 0;
  int m_hits = 0;
};

// The best of kRuns runs: on a shared machine the other work only ever adds time.
template <class Run>
double bestTime(Run run) {
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = Clock::now();
    run();
    best = std::min(best, milliseconds(Clock::now() - start));
  }
  return best;
}

long statusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
  return 0;
}

// A results window that shows nothing and is always open.
class NullView : public engine::mScanFiles::ScanView {
 public:
  bool visible() const override { return true; }
  void close() override {}
  void setCurFile(const std::string&) override {}
  void setObjectsScanned(const std::string&) override {}
  void setMaliciousObjects(const std::string&) override {}
  void addHit(const engine::mScanFiles::Hit&) override { ++hits; }
  int hits = 0;
};

int walk(const std::string& root) {
  NullView view;
  engine::mScanFiles::StartScan("*.*", root, view, [] {});
  return view.hits;
}

std::string shellQuoted(const std::string& text) { return "'" + text + "'"; }

// `scan_bench FOLDER...`: the walker over each real folder, against find's walk of it.
int walkFolders(int argc, char* argv[], const std::string& scratch) {
  for (int i = 1; i < argc; ++i) {
    const std::string folder = argv[i];
    const double findMs =
        bestTime([&] { std::system(("find " + shellQuoted(folder) + " -xdev > /dev/null 2>&1").c_str()); });
    const double walkMs = bestTime([&] { walk(folder); });
    std::printf("%-40s find %9.1f ms   walker %9.1f ms (%.2f x find), %.0f names looked up, %.0f unreadable folders\n",
                folder.c_str(), findMs, walkMs, walkMs / findMs, engine::mScanFiles::ObjectsScanned(),
                engine::mScanFiles::UnreadableFolders());
  }
  std::system(("rm -rf " + shellQuoted(scratch)).c_str());
  return 0;
}

int commandCount(const std::string& command) {
  FILE* output = popen(command.c_str(), "r");
  int count = -1;
  if (output && std::fscanf(output, "%d", &count) != 1) count = -1;
  if (output) pclose(output);
  return count;
}

void line(const char* what, double ms, double findMs, const char* goal) {
  std::printf("%-58s %9.1f ms   %6.2f x find   %s\n", what, ms, ms / findMs, goal);
}
}  // namespace

int run(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);

  // Everything lives in one scratch folder: in memory where the system offers /dev/shm.
  std::string scratch = access("/dev/shm", W_OK) == 0
                            ? "/dev/shm/halvik-scan-bench-XXXXXX"
                            : (std::filesystem::temp_directory_path() / "halvik-scan-bench-XXXXXX").string();
  if (!mkdtemp(scratch.data())) return 1;
  const std::string root = scratch + "/tree";
  const std::string program = scratch + "/program";
  std::filesystem::create_directories(program);
  std::filesystem::create_directories(scratch + "/config");
  testing_support::TestEnvironment environment;
  environment->programFolder = program;
  environment->settingsFile = scratch + "/config/settings.ini";

  {
    std::ofstream database(program + "/" + engine::kScanDatabase, std::ios::binary);
    std::ofstream names(scratch + "/names", std::ios::binary);
    database << "[Scanfiles]\r\n";
    for (int i = 0; i < kDatabaseEntries; ++i) {
      database << databaseName(i) << "=Threat.Family" << (i % 977) << "\r\n";
      names << upper(databaseName(i)) << "\n";
    }
  }
  engine::reloadSignatures();
  if (argc > 1) return walkFolders(argc, argv, scratch);
  std::printf("Making a tree of %d entries and a database of %d entries...\n", kEntries, kDatabaseEntries);
  TreeMaker tree(root);
  tree.build();
  const std::string listed = "find " + shellQuoted(root) + " -xdev -printf '%f\\n'";
  std::printf("find lists %d entries below the root; %d of them carry a database name\n\n",
              commandCount(listed + " | wc -l") - 1, tree.hits());

  const double findMs = bestTime([&] { std::system((listed + " > /dev/null").c_str()); });
  int pipelineHits = 0;
  const double pipelineMs = bestTime([&] {
    pipelineHits = commandCount(listed + " | tr a-z A-Z | grep -Fxf " + shellQuoted(scratch + "/names") + " | wc -l");
  });

  // The walk's own memory first, before any other walk has grown the heap: the database is
  // loaded already, and the peak resident size restarts from here.
  std::ofstream("/proc/self/clear_refs") << "5";
  const long residentBefore = statusKilobytes("VmRSS:");
  walk(root);
  const long walkPeak = statusKilobytes("VmHWM:") - residentBefore;

  // With the load: each run loads the signature sets again, as every scan does.
  int walkerHits = 0;
  const double loadMs = bestTime([&] {
    engine::reloadSignatures();
    walkerHits = walk(root);
  });
  int loadedHits = 0;
  const double loadedMs = bestTime([&] { loadedHits = walk(root); });

  ui::frmMain main;
  main.show();
  main.scanPage->optScanMODE[1]->setChecked(true);
  scan::setCustomScanFolder(root);
  int windowHits = 0;
  const double windowMs = bestTime([&] {
    main.scanPage->lblNextBack->click();
    windowHits = main.scanPage->results()->lvScan->topLevelItemCount();
  });

  line("find ROOT -xdev -printf '%f\\n' > /dev/null (walk limit)", findMs, findMs, "");
  line("find ... | tr a-z A-Z | grep -Fxf names", pipelineMs, findMs, "");
  line("walker, database load included", loadMs, findMs, "goal <= 1.50");
  line("walker, database loaded", loadedMs, findMs, "goal <= 1.00");
  line("whole scan through frmScan (offscreen)", windowMs, findMs, "goal <= 2.00");
  std::printf("pipeline / walker with load: %.2f   pipeline / walker loaded: %.2f   (goal >= 4)\n", pipelineMs / loadMs,
              pipelineMs / loadedMs);
  std::printf("hits: pipeline %d, walker with load %d, walker loaded %d, frmScan %d: %s\n", pipelineHits, walkerHits,
              loadedHits, windowHits,
              pipelineHits == walkerHits && walkerHits == loadedHits && loadedHits == windowHits ? "identical"
                                                                                                 : "DIFFERENT");
  std::printf("peak memory the walk adds: %.1f MB (goal <= 64)\n", walkPeak / 1024.0);

  std::system(("rm -rf " + shellQuoted(scratch)).c_str());
  return 0;
}

}  // namespace halvik::bench

int main(int argc, char* argv[]) { return halvik::bench::run(argc, argv); }
