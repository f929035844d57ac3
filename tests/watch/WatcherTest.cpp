#include "watch/Watcher.h"

#include "platform/Ascii.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace halvik::watch {
namespace {
using namespace testing_support;
namespace fs = std::filesystem;
using Backend = Watcher::Backend;
using Kind = platform::FolderWatch::Kind;

Lookup threats() {
  return [](std::string_view name) -> std::string {
    static const std::map<std::string, std::string> known{{"EVIL.EXE", "Trojan.Evil"},
                                                          {"MINER.BIN", "Miner.X"},
                                                          {".SNEAKY.EXE", "Sneaky"},
                                                          {"SENTINEL.EXE", "Sentinel"}};
    const auto found = known.find(platform::upperCase(std::string(name)));
    return found == known.end() ? std::string() : found->second;
  };
}

class WatcherTest : public testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
#ifdef _WIN32
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
      GTEST_SKIP()
          << "Wine's ReadDirectoryChangesW drops events of renamed and removed entries and Wine makes no links";
#endif
    fs::create_directories(m_root.path() + "/sub");
    writeFile(m_root / "sub/evil.exe", "present at start");
  }
  void TearDown() override { platform::FolderWatch::refuseWatchesBeyondForTesting(std::nullopt); }

  void start(std::vector<WatchedFolder> folders = {}) {
    if (folders.empty()) folders.push_back({m_root.path(), true});
    m_watcher = std::make_unique<Watcher>(std::move(folders), threats(),
                                          Watcher::Callbacks{[this](const engine::mScanFiles::Hit& hit) {
                                                               m_hits.push_back(hit);
                                                             },
                                                             [this] { ++m_limits; }},
                                          GetParam());
    ASSERT_TRUE(m_watcher->start());
    if (GetParam() == Backend::Best && m_watcher->kind() != Kind::FileSystems)
      GTEST_SKIP() << "the system grants no watch of whole file systems here (fanotify needs root)";
  }
  bool running() const { return !IsSkipped() && !HasFatalFailure(); }
  // Runs the watcher until `count` hits are in, or ten seconds have passed.
  void runUntil(std::size_t count) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_hits.size() < count && std::chrono::steady_clock::now() < end)
      m_watcher->runFor(std::chrono::milliseconds(50));
  }
  // Plants a sentinel in the root and runs until it is reported: every earlier event was handled.
  void settle() {
    const std::size_t before = m_hits.size();
    const std::string sentinel = m_root / ("s" + std::to_string(m_sentinels++));
    fs::create_directory(sentinel);
    writeFile(sentinel + "/sentinel.exe", "");
    runUntil(before + 1);
    ASSERT_FALSE(m_hits.empty());
    EXPECT_EQ(m_hits.back().path, sentinel + "/sentinel.exe");
    m_hits.pop_back();
  }
  std::vector<std::string> paths() const {
    std::vector<std::string> result;
    for (const auto& hit : m_hits) result.push_back(hit.path);
    return result;
  }

  TestEnvironment m_environment;
  TempFolder m_root;
  std::unique_ptr<Watcher> m_watcher;
  std::vector<engine::mScanFiles::Hit> m_hits;
  int m_limits = 0;
  int m_sentinels = 0;
};

TEST_P(WatcherTest, ReportsCreatedAndRenamedThreatsOnceAndNothingElse) {
  start();
  if (!running()) return;
  if (!running()) return;
  writeFile(m_root / "miner.bin", "x");
  writeFile(m_root / "sub/harmless.txt", "x");
  writeFile(m_root / "sub/.part", "x");
  fs::rename(m_root / "sub/.part", m_root / "sub/EVIL.EXE.tmp");
  fs::rename(m_root / "sub/EVIL.EXE.tmp", m_root / "sub/Evil.exe");  // renamed into place
  runUntil(2);
  fs::rename(m_root / "sub/Evil.exe", m_root / "evil.exe");   // the same file again: not reported twice
  fs::rename(m_root / "sub/evil.exe", m_root / "sub/moved");  // present at start, never reported
  fs::rename(m_root / "sub/moved", m_root / "sub/evil.exe");
  settle();
  ASSERT_EQ(paths(), (std::vector<std::string>{m_root / "miner.bin", m_root / "sub/Evil.exe"}));
  EXPECT_EQ(m_hits[0].threatName, "MINER.X");
  EXPECT_EQ(m_hits[0].rootLength, m_root.path().size());
  ASSERT_EQ(m_hits[1].folders.size(), 2u);
  EXPECT_EQ(m_hits[1].entry->kind, platform::EntryKind::File);
  const auto reached = engine::mScanFiles::ReachFolder(m_hits[1]);
  EXPECT_EQ(reached.state, engine::mScanFiles::ReachedFolder::State::Reached);
}

TEST_P(WatcherTest, NewFolderWithAFileInsideLinksAndDotFiles) {
  start();
  if (!running()) return;
  if (!running()) return;
  fs::create_directories(m_root / "new/deeper");
  writeFile(m_root / "new/deeper/evil.exe", "x");
  fs::create_directory_symlink(m_root / "sub", m_root / "new/link");  // never followed
  fs::create_symlink(m_root / "sub/evil.exe", m_root / "miner.bin");  // reported as the link
  writeFile(m_root / ".sneaky.exe", "x");
  settle();
  std::vector<std::string> expected{m_root / "new/deeper/evil.exe", m_root / "miner.bin"};
  // Dot-names follow the platform's hidden rule, as in the walk.
  const bool dotHidden = *platform::fileAttributes(m_root / ".sneaky.exe") & platform::kHidden;
  if (!dotHidden) expected.push_back(m_root / ".sneaky.exe");
  auto found = paths();
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
  for (const auto& hit : m_hits)
    EXPECT_EQ(hit.entry->kind,
              hit.path == m_root / "miner.bin" ? platform::EntryKind::Link : platform::EntryKind::File);
}

TEST_P(WatcherTest, RemovedWatchedFolderAndFolderRecreated) {
  start();
  if (!running()) return;
  if (!running()) return;
  fs::remove_all(m_root / "sub");
  settle();
  fs::create_directory(m_root / "sub");
  writeFile(m_root / "sub/evil.exe", "a new file");
  runUntil(1);
  EXPECT_EQ(paths(), std::vector<std::string>{m_root / "sub/evil.exe"});
}

TEST_P(WatcherTest, OwnFolderOnlyWhenSubfoldersAreLeftOut) {
  fs::create_directories(m_root / "sub/deep");
  start({{m_root.path(), false}, {m_root / "sub/deep", true}});
  if (!running()) return;
  if (!running()) return;
  writeFile(m_root / "sub/miner.bin", "x");
  fs::create_directory(m_root / "sub/deep/more");
  writeFile(m_root / "sub/deep/more/evil.exe", "x");
  writeFile(m_root / "miner.bin", "x");
  runUntil(2);
  auto found = paths();
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{m_root / "miner.bin", m_root / "sub/deep/more/evil.exe"}));
}

#ifndef _WIN32
// A tmpfs mounted on a new folder for the test's time (as root).
struct TmpfsMount {
  explicit TmpfsMount(std::string folder) : path(std::move(folder)) {
    fs::create_directory(path);
    done = geteuid() == 0 && mount("none", path.c_str(), "tmpfs", 0, nullptr) == 0;
  }
  ~TmpfsMount() {
    if (done) umount2(path.c_str(), MNT_DETACH);
  }
  std::string path;
  bool done = false;
};

TEST_P(WatcherTest, AnotherFileSystemIsNotEnteredUnlessWatched) {
  const TmpfsMount mounted(m_root / "mounted");
  if (!mounted.done) GTEST_SKIP() << "mounting a file system needs root";
  fs::create_directory(m_root / "mounted/inside");
  start();
  if (!running()) return;
  if (!running()) return;
  writeFile(m_root / "mounted/evil.exe", "x");
  writeFile(m_root / "mounted/inside/miner.bin", "x");
  settle();
  EXPECT_TRUE(m_hits.empty());
}

// A whole file system is watched only by a mark of it, never listed: an entry there at the start
// is reported once renamed into place, a new folder's entries as they are created.
TEST_P(WatcherTest, AWholeFileSystemIsMarkedAndNeverListedOrLeftOut) {
  const TmpfsMount mounted(m_root / "mounted");
  if (!mounted.done) GTEST_SKIP() << "mounting a file system needs root";
  fs::create_directory(m_root / "mounted/present");
  writeFile(m_root / "mounted/present/evil.exe", "x");
  start({{m_root.path(), true}, {m_root / "mounted", true, true}});
  if (!running()) return;
  fs::rename(m_root / "mounted/present/evil.exe", m_root / "mounted/evil.exe");
  fs::create_directories(m_root / "mounted/new/deeper");
  writeFile(m_root / "mounted/new/deeper/miner.bin", "x");
  settle();
  auto found = paths();
  std::sort(found.begin(), found.end());
  // Without a mark of whole file systems the file system is left out, not watched folder by folder.
  const auto expected = GetParam() == Backend::Best ? std::vector<std::string>{m_root / "mounted/evil.exe",
                                                                               m_root / "mounted/new/deeper/miner.bin"}
                                                    : std::vector<std::string>{};
  EXPECT_EQ(found, expected);
}

// Runs `watcher` until `found` holds `count` paths, or twenty seconds have passed.
void runUntil(Watcher& watcher, const std::vector<std::string>& found, std::size_t count) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (found.size() < count && std::chrono::steady_clock::now() < end) watcher.runFor(std::chrono::milliseconds(50));
}

TEST(WatcherLimits, TheWatchLimitIsToldOnceAndWatchedFoldersStayWatched) {
  TestEnvironment environment;
  TempFolder root;
  for (const char* folder : {"a", "b", "c"}) fs::create_directory(root / folder);
  platform::FolderWatch::refuseWatchesBeyondForTesting(1);  // the root only
  std::vector<std::string> found;
  int limits = 0;
  Watcher watcher({{root.path(), true}}, threats(),
                  {[&](const engine::mScanFiles::Hit& hit) { found.push_back(hit.path); }, [&] { ++limits; }},
                  Backend::Folders);
  ASSERT_TRUE(watcher.start());
  EXPECT_EQ(limits, 1);
  fs::create_directory(root / "new");
  writeFile(root / "new/miner.bin", "x");  // listed once, though not watched
  writeFile(root / "evil.exe", "x");
  runUntil(watcher, found, 2);
  platform::FolderWatch::refuseWatchesBeyondForTesting(std::nullopt);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{root / "evil.exe", root / "new/miner.bin"}));
  EXPECT_EQ(limits, 1);
}

TEST(WatcherLimits, AnOverflowIsMadeGoodByARescan) {
  TestEnvironment environment;
  TempFolder root;
  fs::create_directory(root / "a");
  std::vector<std::string> found;
  Watcher watcher({{root.path(), true}}, threats(),
                  {[&](const engine::mScanFiles::Hit& hit) { found.push_back(hit.path); }, {}}, Backend::Folders);
  ASSERT_TRUE(watcher.start());
  std::ifstream queued("/proc/sys/fs/inotify/max_queued_events");
  std::size_t events = 16384;
  queued >> events;
  // More entries than the queue holds while nothing reads it: the threats come past the overflow.
  for (std::size_t i = 0; i < events + 100; ++i) writeFile(root / ("a/f" + std::to_string(i)), "");
  writeFile(root / "a/evil.exe", "x");
  writeFile(root / "miner.bin", "x");
  runUntil(watcher, found, 2);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{root / "a/evil.exe", root / "miner.bin"}));
}
#endif

INSTANTIATE_TEST_SUITE_P(Backends, WatcherTest, testing::Values(Backend::Folders, Backend::Best),
                         [](const auto& info) { return info.param == Backend::Best ? "Best" : "Folders"; });

}  // namespace
}  // namespace halvik::watch
