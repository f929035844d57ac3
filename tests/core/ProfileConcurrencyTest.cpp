// Two running copies at once: a reader never sees a half-written file, and two writers of
// different keys never lose each other's values.
#include "ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace std::string_literals;
using testing_support::GS;
using testing_support::ProfileFiles;
using testing_support::readFile;
using testing_support::WP;

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

}  // namespace
