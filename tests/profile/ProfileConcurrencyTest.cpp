// Two running copies at once: a reader never sees a half-written file, and two writers of
// different keys never lose each other's values.
#include "support/ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <functional>

#include <filesystem>
#include <set>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#endif

namespace halvik::profile {

using namespace std::string_literals;
using testing_support::GS;
using testing_support::ProfileFiles;
using testing_support::readFile;
using testing_support::WP;
using testing_support::writeFile;

namespace {

#ifndef _WIN32
// Runs `work` in a child process; its result becomes the child's exit status.
pid_t runChild(const std::function<bool()>& work) {
  const pid_t pid = fork();
  if (pid == 0) _exit(work() ? 0 : 1);
  return pid;
}

bool exitedCleanly(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

TEST(ProfileConcurrency, ReadsSeeTheOldOrTheNewFileWhole) {
#ifdef _WIN32
  GTEST_SKIP() << "runs the second copy with fork";
#else
  ProfileFiles files;
  const std::string path = files.make(std::nullopt);
  const std::string a(20000, 'a'), b(30000, 'b');
  ASSERT_TRUE(WP(path, "S", "V", a.c_str()));
  ASSERT_TRUE(WP(path, "S", "End", "1"));
  const std::string fileA = "[S]\r\nV=" + a + "\r\nEnd=1\r\n", fileB = "[S]\r\nV=" + b + "\r\nEnd=1\r\n";
  const std::string listA = "V=" + a + "\0End=1\0\0"s, listB = "V=" + b + "\0End=1\0\0"s;

  const pid_t writer = runChild([&] {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
      if (!WP(path, "S", "V", (i % 2 ? a : b).c_str())) return false;
    }
    return true;
  });
  int reads = 0, seenB = 0;
  while (waitpid(writer, nullptr, WNOHANG) == 0) {
    const std::string bytes = readFile(path);
    ASSERT_TRUE(bytes == fileA || bytes == fileB) << "torn file of " << bytes.size() << " bytes";
    const auto list = GS(path, "S", 40000);
    const std::string listed = list.bytes.substr(0, list.count + 1);
    ASSERT_TRUE(listed == listA || listed == listB) << "torn section of " << list.count << " bytes";
    seenB += bytes == fileB;
    ++reads;
  }
  EXPECT_GT(reads, 10);
  EXPECT_GT(seenB, 0);
#endif
}

TEST(ProfileConcurrency, TwoWritersOfDifferentKeysLoseNothing) {
#ifdef _WIN32
  GTEST_SKIP() << "runs the second copy with fork";
#else
  ProfileFiles files;
  const std::string path = files.make("[Keep]\r\nK=v\r\n");
  constexpr int kKeys = 60;
  const auto writeKeys = [&](const std::string& prefix) {
    return runChild([&, prefix] {
      for (int i = 0; i < kKeys; ++i) {
        const std::string key = prefix + std::to_string(i);
        if (!WP(path, "S", key.c_str(), ("value of " + key).c_str())) return false;
      }
      return true;
    });
  };
  const pid_t first = writeKeys("One");
  const pid_t second = writeKeys("Two");
  EXPECT_TRUE(exitedCleanly(first));
  EXPECT_TRUE(exitedCleanly(second));
  for (const std::string prefix : {"One", "Two"}) {
    for (int i = 0; i < kKeys; ++i) {
      const std::string key = prefix + std::to_string(i);
      EXPECT_EQ(profile::lookup("S", key, path), "value of " + key);
    }
  }
  EXPECT_EQ(profile::lookup("Keep", "K", path), "v");
#endif
}

// The names in `folder`.
std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

#ifndef _WIN32
bool isTemporary(const std::string& name) { return name.starts_with(".halvik-") && name.ends_with(".tmp"); }
#endif

// Dates the entry `path` (a link itself, not its target) two minutes back.
void ageTwoMinutes(const std::string& path) {
#ifdef _WIN32
  const std::uint64_t ticks = (static_cast<std::uint64_t>(::time(nullptr) - 120) + 11644473600u) * 10000000u;
  const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  EXPECT_TRUE(file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, &time, &time));
  CloseHandle(file);
#else
  const timespec then[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
  EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), then, AT_SYMLINK_NOFOLLOW), 0);
#endif
}

// The next write in a folder removes the temporary files killed writers left there a minute
// ago or more, and nothing else: not a fresh one, not a lock file, not a file of another name.
TEST(ProfileConcurrency, NextWriteRemovesStaleTemporaryFilesOnly) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=v\r\n");
  const std::string folder = files.folder().path();
  const std::vector<std::string> stale = {".halvik-12-0.tmp", ".halvik-12-3-9f0a.tmp"};
  const std::vector<std::string> kept = {".halvik-12-4-9f0b.tmp.old", "halvik-12-5.tmp", ".halvik-0123abcd.lock",
                                         ".halvik-x-1.tmp", "notes.tmp"};
  for (const auto& name : stale) writeFile(folder + "/" + name, "litter");
  for (const auto& name : kept) writeFile(folder + "/" + name, "kept");
  for (const auto& name : namesIn(folder)) ageTwoMinutes(folder + "/" + name);
  writeFile(folder + "/.halvik-13-0-1.tmp", "a writer at work");  // fresh: kept
  ASSERT_TRUE(WP(path, "S", "K", "w"));
  std::set<std::string> expected(kept.begin(), kept.end());
  expected.insert({std::filesystem::path(path).filename().string(), ".halvik-13-0-1.tmp"});
  std::set<std::string> names = namesIn(folder);
  names.erase(std::filesystem::path(path).filename().string() + ".lock");
  EXPECT_EQ(names, expected);
}

TEST(ProfileConcurrency, WritersKilledMidWriteLoseNothingAndTheirLitterIsSwept) {
#ifdef _WIN32
  GTEST_SKIP() << "kills writers started with fork";
#else
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=start\r\n");
  const std::string folder = files.folder().path();
  const std::string big(300000, 'b');
  for (int round = 0; round < 30; ++round) {
    const pid_t writer = runChild([&] {
      for (int i = 0;; ++i) WP(path, "S", "K", i % 2 ? big.c_str() : "small");
      return true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(5 + round % 7 * 3));
    ASSERT_EQ(kill(writer, SIGKILL), 0);
    ASSERT_EQ(waitpid(writer, nullptr, 0), writer);
    // The file is always whole: the old or the new value.
    const auto value = profile::lookup("S", "K", path);
    ASSERT_TRUE(value == "start" || value == "small" || value == big);
  }
  // A dead writer's link, planted where litter would be, is neither followed nor removed.
  const std::string outside = files.make("outside");
  ASSERT_EQ(symlink(outside.c_str(), (folder + "/.halvik-1-1.tmp").c_str()), 0);
  for (const auto& name : namesIn(folder))
    if (isTemporary(name)) ageTwoMinutes(folder + "/" + name);

  ASSERT_TRUE(WP(path, "S", "K", "after"));
  EXPECT_EQ(profile::lookup("S", "K", path), "after");
  std::set<std::string> left;
  for (const auto& name : namesIn(folder))
    if (isTemporary(name)) left.insert(name);
  EXPECT_EQ(left, std::set<std::string>{".halvik-1-1.tmp"});
  EXPECT_EQ(testing_support::readFile(outside), "outside");
#endif
}

}  // namespace

}  // namespace halvik::profile
