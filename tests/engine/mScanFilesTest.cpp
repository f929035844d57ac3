#include "engine/mScanFiles.h"

#include "core/Settings.h"
#include "support/ScanFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <set>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#endif

namespace halvik::engine {

namespace {
using namespace testing_support;
namespace fs = std::filesystem;
using std::chrono::milliseconds;

void makeFolder(const std::string& path) { fs::create_directories(path); }
void touch(const std::string& path) { writeFile(path, "x"); }

// The order in which the walk must meet the entries of `folder`: every subfolder first (each in
// the same order), then the folder's own entries, both in the order the system lists them.
void expectedOrder(const std::string& folder, std::vector<std::string>& order) {
  std::vector<std::string> own;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.front() == '.') continue;
    own.push_back(folder + "/" + name);
    if (entry.is_directory() && !entry.is_symlink()) expectedOrder(folder + "/" + name, order);
  }
  order.insert(order.end(), own.begin(), own.end());
}

#ifndef _WIN32
int openFileCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}
#endif

#ifndef _WIN32
// Removes a tree too deep for std::filesystem (GNU rm walks relative to open folders).
void removeDeepTree(const std::string& path) {
  const std::string command = "rm -rf '" + path + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
}
#endif

class WalkerTest : public ScanFixture {
 protected:
  void SetUp() override {
    useDatabase({"evil.exe=Demo", "EvilDir=Folder Threat", ".evil.exe=Hidden", "fifo.exe=Pipe", "link.exe=Link"});
    core::settings::write(core::settings::Key::LogFile, "1");
    environment->yieldInterval = milliseconds(0);
  }

  bool scan(const std::string& root, const engine::mScanFiles::Yield& yield = {}) {
    return engine::mScanFiles::StartScan("*.*", root, view, yield);
  }

  FakeScanView view;
};

TEST_F(WalkerTest, EmptyFolderAddsNothingAndCountsNothing) {
  EXPECT_TRUE(scan(tree.path()));
  EXPECT_TRUE(view.hits.empty());
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), 0);
  EXPECT_EQ(view.objectsScanned, "0");
  EXPECT_FALSE(engine::mScanFiles::ScanRunning());
}

TEST_F(WalkerTest, SubfoldersComeFirstDepthFirstThenOwnEntriesInListingOrder) {
#ifdef _WIN32
  GTEST_SKIP() << "expects the paths of a root given with trailing / to be joined with /";
#else
  useDatabase({"a=T", "b=T", "c=T", "x.exe=T", "y.exe=T", "z.exe=T", "w.exe=t"});
  for (const char* folder : {"a/c", "b"}) makeFolder(tree / folder);
  for (const char* file : {"x.exe", "a/y.exe", "a/c/z.exe", "b/w.exe"}) touch(tree / file);
  std::vector<std::string> expected;
  expectedOrder(tree.path(), expected);

  EXPECT_TRUE(scan(tree.path() + "///"));
  EXPECT_EQ(view.hitPaths(), expected);
  EXPECT_EQ(view.hits.front().first, "T");
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), 7);
  EXPECT_EQ(view.objectsScanned, "7");
  EXPECT_EQ(view.maliciousObjects, "7");
  EXPECT_EQ(view.curFile, expected.back());
#endif
}

TEST_F(WalkerTest, DotNamesAreWalkedAndSystemEntriesAreNeverLookedUp) {
#ifdef _WIN32
  GTEST_SKIP() << "a FIFO as a system entry and dot-names without an attribute are the Linux rules";
#else
  touch(tree / ".evil.exe");
  makeFolder(tree / ".config");
  makeFolder(tree / ".config/systemd");
  makeFolder(tree / ".config/systemd/user");
  touch(tree / ".config/systemd/user/evil.exe");
  makeFolder(tree / ".X25-unix");
  touch(tree / ".X25-unix/evil.exe");
  ASSERT_EQ(mkfifo((tree / "fifo.exe").c_str(), 0600), 0);
  touch(tree / "plain.txt");

  EXPECT_TRUE(scan(tree.path()));
  const std::set<std::pair<std::string, std::string> > hits(view.hits.begin(), view.hits.end());
  EXPECT_EQ(hits, (std::set<std::pair<std::string, std::string> >{{"HIDDEN", tree / ".evil.exe"},
                                                                  {"DEMO", tree / ".config/systemd/user/evil.exe"},
                                                                  {"DEMO", tree / ".X25-unix/evil.exe"}}));
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), 8) << "every entry but the FIFO";
#endif
}

TEST_F(WalkerTest, FolderWhoseNameIsAKeyIsAHitAndIsWalked) {
  makeFolder(tree / "EvilDir");
  touch(tree / "EvilDir/evil.exe");

  EXPECT_TRUE(scan(tree.path()));
  ASSERT_EQ(view.hits.size(), 2u);
  EXPECT_EQ(view.hits[0], std::make_pair(std::string("DEMO"), tree / "EvilDir/evil.exe"));
  EXPECT_EQ(view.hits[1], std::make_pair(std::string("FOLDER THREAT"), tree / "EvilDir"));
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), 2);
  EXPECT_EQ(engine::mScanFiles::ThreatsFound(), 2);
}

TEST_F(WalkerTest, TwoFilesOfOneNameGiveTwoRowsAndTwoLogLines) {
  for (const char* folder : {"one", "two"}) {
    makeFolder(tree / folder);
    touch(tree / (std::string(folder) + "/EVIL.EXE"));
  }
  EXPECT_TRUE(scan(tree.path()));
  EXPECT_EQ(view.hits.size(), 2u);
  EXPECT_EQ(logLinesWith("DEMO was found in " + tree / "one/EVIL.EXE"), 1);
  EXPECT_EQ(logLinesWith("DEMO was found in " + tree / "two/EVIL.EXE"), 1);
}

TEST_F(WalkerTest, NamesThatAreNotUtf8KeepTheirBytes) {
#ifdef _WIN32
  GTEST_SKIP() << "std::filesystem of MinGW refuses these bytes in a name";
#else
  const std::string name = "caf\xE9 \x01odd";
  makeFolder(tree / name);
  touch(tree / (name + "/evil.exe"));
  EXPECT_TRUE(scan(tree.path()));
  ASSERT_EQ(view.hits.size(), 1u);
  EXPECT_EQ(view.hits[0].second, tree / (name + "/evil.exe"));
#endif
}

TEST_F(WalkerTest, CancelDuringAFilePassLetsThatPassFinishAndSkipsTheFoldersAbove) {
#ifdef _WIN32
  GTEST_SKIP() << "needs a case-sensitive file system (evil.exe and EVIL.exe side by side) and / separators";
#else
  makeFolder(tree / "a/b");
  for (const char* file : {"a/b/evil.exe", "a/b/EVIL.exe", "a/b/Evil.exe", "a/evil.exe", "evil.exe"})
    touch(tree / file);
  const std::string deepest = tree / "a/b";
  bool cancelled = false;
  const bool completed = scan(tree.path(), [&] {
    if (!cancelled && view.curFile.rfind(deepest + "/", 0) == 0) {
      engine::mScanFiles::setScanRunning(false);  // "Annuler"
      cancelled = true;
    }
  });
  EXPECT_FALSE(completed);
  ASSERT_EQ(view.hits.size(), 3u);
  for (const auto& hit : view.hits) EXPECT_EQ(hit.second.rfind(deepest + "/", 0), 0u) << hit.second;
  EXPECT_EQ(view.maliciousObjects, "3");
#endif
}

TEST_F(WalkerTest, CancelAfterASubfolderSkipsTheRemainingSubfolders) {
  for (const char* folder : {"a", "b", "c"}) {
    makeFolder(tree / folder);
    touch(tree / (std::string(folder) + "/evil.exe"));
  }
  int hitsAtCancel = -1;
  scan(tree.path(), [&] {
    if (hitsAtCancel < 0 && !view.hits.empty()) {
      hitsAtCancel = static_cast<int>(view.hits.size());
      engine::mScanFiles::setScanRunning(false);
    }
  });
  EXPECT_EQ(view.hits.size(), 1u);
}

TEST_F(WalkerTest, StartDuringAWalkStopsItAtOnceAndWalksNothing) {
  for (const char* folder : {"a", "b"}) {
    makeFolder(tree / folder);
    for (const char* file : {"/evil.exe", "/EVIL.EXE"}) touch(tree / (std::string(folder) + file));
  }
  FakeScanView second;
  bool nestedResult = true;
  int yields = 0;
  const bool completed = scan(tree.path(), [&] {
    if (++yields == 1) nestedResult = engine::mScanFiles::StartScan("*.*", tree.path(), second, {});
  });
  EXPECT_FALSE(completed);
  EXPECT_FALSE(nestedResult);
  EXPECT_TRUE(second.hits.empty());
  EXPECT_EQ(second.closes, 0);
  EXPECT_TRUE(view.hits.empty());  // the first yield comes before the first hit is recorded
  EXPECT_FALSE(engine::mScanFiles::ScanRunning());
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), 0);
}

TEST_F(WalkerTest, ClosedWindowStopsTheWalkAndAHiddenOneIsClosedAtStart) {
  makeFolder(tree / "a");
  for (const char* file : {"a/evil.exe", "a/EVIL.EXE", "evil.exe"}) touch(tree / file);
  const bool completed = scan(tree.path(), [&] {
    if (!view.hits.empty()) view.shown = false;
  });
  EXPECT_FALSE(completed);
  EXPECT_EQ(view.hits.size(), 1u);
  EXPECT_FALSE(engine::mScanFiles::ScanRunning());

  FakeScanView hidden;
  hidden.shown = false;
  EXPECT_FALSE(engine::mScanFiles::StartScan("*.*", tree.path(), hidden, {}));
  EXPECT_EQ(hidden.closes, 1);
  EXPECT_TRUE(hidden.hits.empty());
}

TEST_F(WalkerTest, MissingRootIsAnEmptyFolder) {
  EXPECT_TRUE(scan(tree / "missing"));
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), 0);
}

TEST_F(WalkerTest, SymbolicLinksAreLookedUpButNeverFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows";
#else
  makeFolder(tree / "a");
  touch(tree / "a/evil.exe");
  fs::create_directory_symlink("..", tree / "a/up");
  fs::create_directory_symlink(".", tree / "a/self");
  fs::create_directory_symlink("/", tree / "root");
  fs::create_symlink(tree / "a/evil.exe", tree / "link.exe");
  fs::create_directory_symlink(tree / "a", tree / "EvilDir");

  EXPECT_TRUE(scan(tree.path()));
  std::vector<std::string> expected;
  expectedOrder(tree.path(), expected);
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), static_cast<double>(expected.size()));
  EXPECT_EQ(view.hits.size(), 3u);  // a/evil.exe, the link "link.exe" and the link "EvilDir"
#endif
}

TEST_F(WalkerTest, OnlyTheExactNameIsAHit) {
  // Windows drops blanks at the end of a name and refuses control bytes in one.
#ifdef _WIN32
  const std::vector<std::string> padded = {" evil.exe"};
#else
  const std::vector<std::string> padded = {" evil.exe", "evil.exe ", "\tevil.exe", "evil.exe\f", " evil.exe\v"};
#endif
  for (const auto& name : padded) touch(tree / name);
  touch(tree / "evil.exe");
  EXPECT_TRUE(scan(tree.path()));
  EXPECT_EQ(view.hitPaths(), std::vector<std::string>{tree / "evil.exe"});
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), static_cast<double>(padded.size() + 1));
}

#ifndef _WIN32
// A folder bound inside itself has the device of its parent and would be walked again at every level.
TEST_F(WalkerTest, FolderBoundInsideItselfIsWalkedOnce) {
  if (geteuid() != 0) GTEST_SKIP() << "a bind mount needs root";
  makeFolder(tree / "a/b/c");
  touch(tree / "a/evil.exe");
  const auto result = withBindMounts({{tree / "a", tree / "a/b"}}, [&] {
    return scan(tree.path()) && view.hitPaths() == std::vector<std::string>{tree / "a/evil.exe"};
  });
  if (result == MountedCheck::Refused) GTEST_SKIP() << "this system refuses a private mount namespace";
  EXPECT_EQ(result, MountedCheck::Passed);
}

// A fresh folder for a tree of thousands of folders: in memory (/dev/shm) where the system has
// it, since making and removing such a tree on a busy disk takes most of a minute.
std::string folderForBigTree(const TempFolder& fallback) {
  std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/halvik-test-XXXXXX" : fallback / "big-XXXXXX";
  return mkdtemp(pattern.data()) ? pattern : fallback / "big";
}
#endif

TEST_F(WalkerTest, TenThousandFoldersDeepWithPathsBeyondTheLimit) {
#ifdef _WIN32
  GTEST_SKIP()
      << "builds the tree with openat and mkdirat; Win32FolderHandle.WalksBelowTheLimitOfTheAFunctions covers Windows";
#else
  environment->yieldInterval = milliseconds(15);
  const std::string top = folderForBigTree(tree);
  makeFolder(top);
  constexpr int kDepth = 10000;
  int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
  for (int level = 0; level < kDepth; ++level) {
    ASSERT_EQ(mkdirat(fd, "d", 0700), 0);
    const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
  }
  close(openat(fd, "evil.exe", O_CREAT | O_WRONLY, 0600));
  close(fd);

  int mostOpen = 0;
  EXPECT_TRUE(scan(top, [&] { mostOpen = std::max(mostOpen, openFileCount()); }));
  ASSERT_EQ(view.hits.size(), 1u);
  EXPECT_GT(view.hits[0].second.size(), static_cast<std::size_t>(PATH_MAX));
  EXPECT_EQ(view.hits[0].second.size(), top.size() + 2 * kDepth + std::string("/evil.exe").size());
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), kDepth + 1);
  EXPECT_LT(mostOpen, openFileCount() + 100);
  removeDeepTree(top);
#endif
}

TEST_F(WalkerTest, LongNamesMakePathsBeyondTheLimit) {
#ifdef _WIN32
  GTEST_SKIP()
      << "builds the tree with openat and mkdirat; Win32FolderHandle.WalksBelowTheLimitOfTheAFunctions covers Windows";
#else
  std::string folder = tree.path();
  const std::string longName(250, 'n');
  for (int level = 0; level < 20; ++level) {
    folder += "/" + longName;
    ASSERT_EQ(mkdir(folder.c_str(), 0700) == 0 || errno == ENAMETOOLONG, true);
    if (folder.size() > 3500) break;
  }
  // Beyond the limit the folders are made relative to an open parent.
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int level = 0; level < 4; ++level) {
    ASSERT_EQ(mkdirat(fd, longName.c_str(), 0700), 0);
    const int next = openat(fd, longName.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
    folder += "/" + longName;
  }
  close(openat(fd, "evil.exe", O_CREAT | O_WRONLY, 0600));
  close(fd);

  EXPECT_TRUE(scan(tree.path()));
  ASSERT_EQ(view.hits.size(), 1u);
  EXPECT_EQ(view.hits[0].second, folder + "/evil.exe");
  EXPECT_GT(view.hits[0].second.size(), static_cast<std::size_t>(PATH_MAX));
  removeDeepTree(tree / longName);
#endif
}

TEST_F(WalkerTest, UnreadableFolderIsSkipped) {
#ifdef _WIN32
  GTEST_SKIP() << "folder permission bits are POSIX";
#else
  for (const char* folder : {"locked", "open"}) {
    makeFolder(tree / folder);
    touch(tree / (std::string(folder) + "/evil.exe"));
  }
  ASSERT_EQ(chmod((tree / "locked").c_str(), 0), 0);
  EXPECT_TRUE(inProcessWithoutOverrides([&] {
    const bool completed = scan(tree.path());
    return completed && view.hits.size() == 1 && view.hits[0].second == tree / "open/evil.exe" &&
           engine::mScanFiles::ObjectsScanned() == 3 && engine::mScanFiles::UnreadableFolders() == 1;
  }));
#endif
}

TEST_F(WalkerTest, UnreadableFoldersAreCountedPerWalkAndAMissingRootIsOne) {
  makeFolder(tree / "open");
  EXPECT_TRUE(scan(tree.path()));
  EXPECT_EQ(engine::mScanFiles::UnreadableFolders(), 0);
  EXPECT_TRUE(scan(tree / "missing"));
  EXPECT_EQ(engine::mScanFiles::UnreadableFolders(), 1);
  EXPECT_TRUE(scan(tree.path()));  // the count starts again with every walk
  EXPECT_EQ(engine::mScanFiles::UnreadableFolders(), 0);
}

TEST_F(WalkerTest, PatternSelectsTheEntriesOfTheFilePass) {
  useDatabase({"evil.exe=Demo", "evil.dll=Demo"});
  makeFolder(tree / "sub.exe");
  for (const char* file : {"evil.exe", "evil.dll", "sub.exe/evil.dll"}) touch(tree / file);
  EXPECT_TRUE(engine::mScanFiles::StartScan("*.EXE", tree.path(), view, {}));
  EXPECT_EQ(view.hitPaths(), std::vector<std::string>{tree / "evil.exe"});
  EXPECT_EQ(engine::mScanFiles::ObjectsScanned(), 2);  // evil.exe and the folder sub.exe
}

}  // namespace

}  // namespace halvik::engine
