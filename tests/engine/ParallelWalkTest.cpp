#include "engine/ParallelWalk.h"

#include "core/Settings.h"
#include "engine/CurrentSignatures.h"
#include "support/ScanFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace halvik::engine {
namespace {
using namespace testing_support;
namespace fs = std::filesystem;

// What a hit is, in an order of its own: the threads of the parallel walk keep no order.
using Seen = std::tuple<std::string, std::string, std::size_t, std::vector<std::uint64_t>, bool, std::uint64_t>;

Seen seen(const mScanFiles::Hit& hit) {
  std::vector<std::uint64_t> folders;
  for (const auto& id : hit.folders) folders.push_back(id.file);
  return {hit.threatName, hit.path, hit.rootLength, folders, hit.entry.has_value(), hit.entry ? hit.entry->id.file : 0};
}

class Recorder : public WalkSink {
 public:
  void hit(const mScanFiles::Hit& hit) override { hits.push_back(seen(hit)); }
  void unreadable(const std::string& path) override { unreadables.push_back(path); }
  void excluded(const std::string& path) override { exclusions.push_back(path); }
  std::vector<Seen> sorted() const {
    std::vector<Seen> all = hits;
    std::sort(all.begin(), all.end());
    return all;
  }

  std::vector<Seen> hits;
  std::vector<std::string> unreadables;
  std::vector<std::string> exclusions;
};

class ParallelWalkTest : public ScanFixture {
 protected:
  void SetUp() override {
    useDatabase({"evil.exe=Demo", "EvilDir=Folder Threat", ".evil.exe=Hidden", "fifo.exe=Pipe", "link.exe=Link"});
    core::settings::write(core::settings::Key::LogFile, "1");
    for (const char* folder : {"a/b/c", "a/EvilDir", "d", "d/e"}) fs::create_directories(tree / folder);
    for (const char* file : {"evil.exe", "a/evil.exe", "a/b/c/EVIL.EXE", "a/EvilDir/x", "d/e/evil.exe", "d/clean"})
      writeFile(tree / file, "x");
#ifndef _WIN32
    writeFile(tree / ".evil.exe", "x");
    fs::create_directories(tree / ".hidden");
    writeFile(tree / ".hidden/evil.exe", "x");
    mkfifo((tree / "fifo.exe").c_str(), 0600);
    writeFile(tree / " evil.exe", "x");
    fs::create_symlink(tree / "a/evil.exe", tree / "link.exe");
    fs::create_directory_symlink(tree / "a", tree / "d/up");
    fs::create_directory_symlink("/", tree / "d/root");
#endif
  }

  // The walk of the window on `root`: its hits in order of their own, and its counts.
  std::pair<std::vector<Seen>, WalkCounts> singleWalk(const std::string& root) {
    FakeScanView view;
    mScanFiles::StartScan("*.*", root, view, {});
    std::vector<Seen> hits;
    for (const auto& hit : view.seen) hits.push_back(seen(hit));
    std::sort(hits.begin(), hits.end());
    return {hits,
            {static_cast<std::uint64_t>(mScanFiles::ObjectsScanned()), hits.size(),
             static_cast<std::uint64_t>(mScanFiles::UnreadableFolders()), 0}};
  }

  WalkCounts parallelWalk(const std::string& root, unsigned jobs, Recorder& recorder) {
    return WalkInParallel(root, {jobs, lookup, exclusions.empty() ? nullptr : &exclusions, {}}, recorder);
  }

  // The current set, as the command line reads it (safe from every thread).
  ThreatLookup lookup = [](std::string_view name) { return currentSignatures()->lookup(name); };
  PathMatcher exclusions;
};

void expectSameCounts(const WalkCounts& parallel, const WalkCounts& single) {
  EXPECT_EQ(parallel.scanned, single.scanned);
  EXPECT_EQ(parallel.hits, single.hits);
  EXPECT_EQ(parallel.unreadable, single.unreadable);
}

TEST_F(ParallelWalkTest, FindsExactlyTheHitsOfTheWindowsWalkWithAnyNumberOfThreads) {
  const auto [expected, counts] = singleWalk(tree.path());
  ASSERT_GE(expected.size(), 5u);
  for (const unsigned jobs : {1u, 2u, 8u}) {
    Recorder recorder;
    expectSameCounts(parallelWalk(tree.path(), jobs, recorder), counts);
    EXPECT_EQ(recorder.sorted(), expected) << jobs << " threads";
  }
  EXPECT_EQ(logLinesWith("DEMO was found in " + tree / "d/e/evil.exe"), 4) << "the day log gets every hit";
}

// Each level holds three subfolders, the way down listed first: a walk going down first keeps
// every level above open for the two left, and past the walk's bound on open folders the rest
// are reached again from the root.
TEST_F(ParallelWalkTest, TreeDeeperThanTheOpenFoldersBoundIsWalkedWhole) {
#ifdef _WIN32
  GTEST_SKIP() << "a tree this deep needs paths longer than Windows takes";
#endif
  fs::path level = tree / "deep";
  for (int depth = 0; depth < 600; ++depth) {
    for (const char* folder : {"x", "y", "z"}) fs::create_directories(level / folder);
    const fs::path down = fs::directory_iterator(level)->path();
    for (const auto& entry : fs::directory_iterator(level))
      if (entry.path() != down) writeFile((entry.path() / "evil.exe").string(), "x");
    level = down;
  }
  const auto [expected, counts] = singleWalk(tree.path());
  for (const unsigned jobs : {1u, 2u}) {
    Recorder recorder;
    expectSameCounts(parallelWalk(tree.path(), jobs, recorder), counts);
    EXPECT_EQ(recorder.sorted(), expected) << jobs << " threads";
  }
}

TEST_F(ParallelWalkTest, MissingRootAndFileRoots) {
  Recorder recorder;
  EXPECT_EQ(parallelWalk(tree / "missing", 2, recorder).unreadable, 1u);
  EXPECT_EQ(recorder.unreadables, std::vector<std::string>{tree / "missing"});
  const WalkCounts file = LookUpFile(tree / "a/evil.exe", {1, lookup, nullptr, {}}, recorder);
  EXPECT_EQ(file.scanned, 1u);
  ASSERT_EQ(recorder.hits.size(), 1u);
  EXPECT_EQ(std::get<1>(recorder.hits[0]), tree / "a/evil.exe");
  EXPECT_EQ(std::get<2>(recorder.hits[0]), (tree / "a").size()) << "the repair reaches it from its folder";
  EXPECT_EQ(LookUpFile(tree / "d/clean", {1, lookup, nullptr, {}}, recorder).hits, 0u);
}

TEST_F(ParallelWalkTest, ExcludedTreesAreNeverEnteredAndCounted) {
  exclusions.add("b");                   // a name at any depth
  exclusions.add(tree / "d" + "/**/e");  // no match: "**" needs a separator on each side here
  exclusions.add(tree / "d/e");
  Recorder recorder;
  const WalkCounts counts = parallelWalk(tree.path(), 2, recorder);
  EXPECT_EQ(counts.excluded, 2u);
  std::sort(recorder.exclusions.begin(), recorder.exclusions.end());
  EXPECT_EQ(recorder.exclusions, (std::vector<std::string>{tree / "a/b", tree / "d/e"}));
  for (const Seen& hit : recorder.hits) {
    EXPECT_EQ(std::get<1>(hit).find(tree / "a/b"), std::string::npos);
    EXPECT_EQ(std::get<1>(hit).find(tree / "d/e"), std::string::npos);
  }
}

#ifndef _WIN32
TEST_F(ParallelWalkTest, UnreadableFoldersAreCountedAndNamed) {
  ASSERT_EQ(chmod((tree / "d").c_str(), 0), 0);
  EXPECT_TRUE(inProcessWithoutOverrides([&] {
    Recorder recorder;
    const auto [expected, counts] = singleWalk(tree.path());
    const WalkCounts parallel = parallelWalk(tree.path(), 2, recorder);
    return parallel.unreadable == 1 && counts.unreadable == 1 && recorder.sorted() == expected &&
           recorder.unreadables == std::vector<std::string>{tree / "d"};
  }));
  chmod((tree / "d").c_str(), 0700);
}

TEST_F(ParallelWalkTest, FolderBoundInsideItselfIsWalkedOnce) {
  if (geteuid() != 0) GTEST_SKIP() << "a bind mount needs root";
  const auto result = withBindMounts({{tree / "a", tree / "a/b"}}, [&] {
    const auto [expected, counts] = singleWalk(tree.path());
    Recorder recorder;
    const WalkCounts parallel = parallelWalk(tree.path(), 2, recorder);
    return recorder.sorted() == expected && parallel.scanned == counts.scanned;
  });
  if (result == MountedCheck::Refused) GTEST_SKIP() << "this system refuses a private mount namespace";
  EXPECT_EQ(result, MountedCheck::Passed);
}

TEST_F(ParallelWalkTest, FolderSwappedForALinkMidWalkIsNeverFollowed) {
  // Looking up a/evil.exe swaps d/e for a link to a: the walk is under way, d may not be listed yet.
  const ThreatLookup plain = lookup;
  lookup = [&, plain](std::string_view name) {
    if (name == "evil.exe" && fs::is_directory(fs::symlink_status(tree / "d/e"))) {
      fs::rename(tree / "d/e", tree / "gone");
      fs::create_directory_symlink(tree / "a", tree / "d/e");
    }
    return plain(name);
  };
  Recorder recorder;
  parallelWalk(tree.path(), 1, recorder);
  for (const Seen& hit : recorder.hits) EXPECT_NE(std::get<1>(hit).rfind(tree / "d/e/", 0), 0u) << std::get<1>(hit);
}
#endif

}  // namespace
}  // namespace halvik::engine
