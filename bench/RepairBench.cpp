// Cost of the repair pass ("Suivant" on the results window) for 1,000 hits, against the bare
// system work of deleting the same files by path in a loop, measured in one run.
//
// The hits are 1,000 files spread over 20 folders four levels below the scanned root. Each run
// makes the files afresh, walks the tree (not timed) and times scan::RunRepair over the hits
// through a results window that shows nothing: once with no quarantine copy asked for, once
// with one. Printed: the best time of each and its ratio to the bare loop (unlink of each
// path; with a copy, read and write of each file first).
#include "core/Locations.h"
#include "core/Settings.h"
#include "engine/CurrentSignatures.h"
#include "engine/mScanFiles.h"
#include "scan/RepairPass.h"
#include "support/TestEnvironment.h"
#include "support/WalkedHits.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace halvik::bench {

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 50;
constexpr int kRuns = 5;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string fileName(int i) { return "threat" + std::to_string(i) + ".exe"; }

// The 1,000 files, made afresh; their paths.
std::vector<std::string> makeFiles(const std::string& root) {
  std::vector<std::string> paths;
  for (int folder = 0; folder < kFolders; ++folder) {
    const std::string path = root + "/level one/level two/folder " + std::to_string(folder);
    std::filesystem::create_directories(path);
    for (int file = 0; file < kFilesPerFolder; ++file) {
      paths.push_back(path + "/" + fileName(folder * kFilesPerFolder + file));
      std::ofstream(paths.back(), std::ios::binary)
          << "a threat's bytes, a few hundred of them " << std::string(400, 'x');
    }
  }
  return paths;
}

class Rows : public scan::RepairView {
 public:
  explicit Rows(std::vector<engine::mScanFiles::Hit> hits)
      : m_hits(std::move(hits)), m_images(m_hits.size(), scan::kImageFound) {}
  int rowCount() const override { return static_cast<int>(m_hits.size()); }
  bool rowChecked(int) const override { return true; }
  int rowImage(int row) const override { return m_images[static_cast<std::size_t>(row)]; }
  engine::mScanFiles::Hit rowHit(int row) const override { return m_hits[static_cast<std::size_t>(row)]; }
  void setRowImage(int row, int image) override { m_images[static_cast<std::size_t>(row)] = image; }
  std::string tag() const override { return {}; }
  void setTag(const std::string&) override {}
  void hide() override {}
  void showObjectsRemoved(const std::string&) override {}
  void quarantineChanged() override {}
  int removed() const { return static_cast<int>(std::count(m_images.begin(), m_images.end(), scan::kImageRemoved)); }

 private:
  std::vector<engine::mScanFiles::Hit> m_hits;
  std::vector<int> m_images;
};

// The best of kRuns runs of `timed`, each after `prepare` (not timed).
template <class Prepare, class Timed>
double bestTime(Prepare prepare, Timed timed) {
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    auto state = prepare();
    const auto start = Clock::now();
    timed(state);
    best = std::min(best, milliseconds(Clock::now() - start));
  }
  return best;
}

void copyBytes(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream(to, std::ios::binary) << in.rdbuf();
}
}  // namespace

int run() {
  std::string scratch = access("/dev/shm", W_OK) == 0
                            ? "/dev/shm/halvik-repair-bench-XXXXXX"
                            : (std::filesystem::temp_directory_path() / "halvik-repair-bench-XXXXXX").string();
  if (!mkdtemp(scratch.data())) return 1;
  const std::string root = scratch + "/tree";
  const std::string program = scratch + "/program";
  std::filesystem::create_directories(program);
  testing_support::TestEnvironment environment;
  environment->programFolder = program;
  environment->settingsFile = scratch + "/settings.ini";
  {
    std::ofstream database(program + "/" + engine::kScanDatabase, std::ios::binary);
    database << "[Scanfiles]\r\n";
    for (int i = 0; i < kFolders * kFilesPerFolder; ++i) database << fileName(i) << "=Bench.Threat\r\n";
  }
  engine::reloadSignatures();

  const auto walked = [&] {
    makeFiles(root);
    testing_support::HitRecorder list;
    engine::mScanFiles::StartScan("*.*", root, list, {});
    return Rows(std::move(list.hits));
  };
  int removed = 0;
  const auto repair = [&](Rows& rows) {
    scan::RunRepair(rows);
    removed = rows.removed();
  };
  const auto clearQuarantine = [&] { std::filesystem::remove_all(program + "/Quarintine"); };

  core::settings::write(core::settings::Key::Quarintine, "0");
  const double bareMs = bestTime([&] { return makeFiles(root); },
                                 [](const std::vector<std::string>& paths) {
                                   for (const auto& path : paths) unlink(path.c_str());
                                 });
  const double repairMs = bestTime(walked, repair);
  const int removedPlain = removed;

  const std::string copies = scratch + "/copies";
  const double bareCopyMs = bestTime(
      [&] {
        std::filesystem::remove_all(copies);
        std::filesystem::create_directories(copies);
        return makeFiles(root);
      },
      [&](const std::vector<std::string>& paths) {
        for (const auto& path : paths) {
          copyBytes(path, copies + "/" + std::filesystem::path(path).filename().string());
          unlink(path.c_str());
        }
      });
  core::settings::write(core::settings::Key::Quarintine, "1");
  const double quarantineMs = bestTime(
      [&] {
        clearQuarantine();
        return walked();
      },
      repair);

  std::printf("%-52s %8.1f ms\n", "bare loop: unlink 1,000 paths", bareMs);
  std::printf("%-52s %8.1f ms   %6.2f x bare   (%d removed)\n", "repair of 1,000 hits, no quarantine copy", repairMs,
              repairMs / bareMs, removedPlain);
  std::printf("%-52s %8.1f ms\n", "bare loop: copy then unlink 1,000 paths", bareCopyMs);
  std::printf("%-52s %8.1f ms   %6.2f x bare   (%d removed)\n", "repair of 1,000 hits with a quarantine copy",
              quarantineMs, quarantineMs / bareCopyMs, removed);

  std::filesystem::remove_all(scratch);
  return 0;
}

}  // namespace halvik::bench

int main() { return halvik::bench::run(); }
