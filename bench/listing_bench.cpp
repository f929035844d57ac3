// Folder listing: platform::listFolder over a generated tree of 200,000 entries, against a
// bare readdir of the same folders (names and d_type only) measured in the same run.
#include "platform/Platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace halvik::bench {

namespace {
constexpr int kFolders = 400;
constexpr int kFilesPerFolder = 499;  // plus the folder itself: 200,000 entries

std::vector<std::string> makeTree(const std::string& root) {
  std::vector<std::string> folders;
  for (int f = 0; f < kFolders; ++f) {
    const std::string folder = root + "/folder" + std::to_string(f);
    mkdir(folder.c_str(), 0755);
    for (int i = 0; i < kFilesPerFolder; ++i) {
      const std::string name = folder + (i % 10 == 0 ? "/.hidden" : "/file") + std::to_string(i) + ".dat";
      close(open(name.c_str(), O_WRONLY | O_CREAT, i % 7 == 0 ? 0444 : 0644));
    }
    symlink(".", (folder + "/loop").c_str());
    folders.push_back(folder);
  }
  return folders;
}

template <typename Function>
double bestSeconds(Function function) {
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    function();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}
}  // namespace

int run() {
  char pattern[] = "/tmp/halvik-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string root = pattern;
  const auto folders = makeTree(root);

  std::size_t bare = 0, listed = 0;
  const double readdirTime = bestSeconds([&] {
    bare = 0;
    for (const auto& folder : folders) {
      DIR* dir = opendir(folder.c_str());
      while (const dirent* entry = readdir(dir)) bare += entry->d_type != DT_UNKNOWN;
      closedir(dir);
    }
  });
  const double listTime = bestSeconds([&] {
    listed = 0;
    for (const auto& folder : folders) listed += platform::listFolder(folder, "*.*", platform::kFolder)->size();
  });
  const double walkerTime = bestSeconds([&] {
    // The walker's two passes: every entry with folders, then the pattern "*.*".
    for (const auto& folder : folders) {
      platform::listFolder(folder, "*", platform::kFolder);
      platform::listFolder(folder, "*.*", platform::kFolder);
    }
  });
  const double kindsTime = bestSeconds([&] {
    for (const auto& folder : folders) {
      platform::listFolder(folder, "*", platform::kFolder, platform::ListDetail::Kinds);
      platform::listFolder(folder, "*.*", platform::kFolder, platform::ListDetail::Kinds);
    }
  });
  std::printf("entries: %zu listed by readdir, %zu returned by listFolder (hidden ones left out)\n", bare, listed);
  std::printf("readdir only (baseline):        %8.1f ms\n", readdirTime * 1e3);
  std::printf("listFolder once per folder:     %8.1f ms  ratio %.2f\n", listTime * 1e3, listTime / readdirTime);
  std::printf("listFolder twice (walker-like): %8.1f ms  ratio %.2f\n", walkerTime * 1e3, walkerTime / readdirTime);
  std::printf("twice, ListDetail::Kinds:        %8.1f ms  ratio %.2f\n", kindsTime * 1e3, kindsTime / readdirTime);
  std::error_code error;
  std::filesystem::remove_all(root, error);
  return 0;
}

}  // namespace halvik::bench

int main() { return halvik::bench::run(); }
