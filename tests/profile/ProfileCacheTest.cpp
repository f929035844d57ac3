// The reader's parsed copies: an edit by another program is seen once the copy is due for a
// check, whatever it leaves of size and modification time; a write of our own is seen at once.
// The tests run the environment's clock by hand.
#include "platform/ProfileFile.h"
#include "profile/ProfileCache.h"
#include "support/ProfileTestSupport.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#endif

namespace halvik::profile {

using testing_support::ProfileFiles;
using testing_support::WP;
using testing_support::writeFile;

namespace {

std::string value(const std::string& file) { return profile::lookup("S", "K", file).value_or("<none>"); }

#ifdef _WIN32
void setModified(const std::string& path, timespec when) {
  // FILETIME counts 100 ns ticks from 1601, 11644473600 seconds before 1970.
  const std::uint64_t ticks = (static_cast<std::uint64_t>(when.tv_sec) + 11644473600u) * 10000000u + when.tv_nsec / 100;
  const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  EXPECT_TRUE(file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, &time, &time));
  CloseHandle(file);
}

// Writes `bytes` over the file's bytes from `offset` on, in place.
bool overwrite(const std::string& path, std::streamoff offset, const std::string& bytes) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(offset);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}
#else
void setModified(const std::string& path, timespec when) {
  const timespec times[2] = {when, when};
  EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}
#endif

// Dates the file an hour back, as an installed file would be, and returns that time.
timespec dateBack(const std::string& path) {
  const timespec then{::time(nullptr) - 3600, 123456700};
  setModified(path, then);
  return then;
}

class ProfileCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { environment.useFakeClock(); }

  // Longer than the reader's check interval, so the next read examines the file.
  void passCheckInterval() { environment.advanceClock(std::chrono::milliseconds(150)); }

  testing_support::TestEnvironment environment;
};

TEST_F(ProfileCacheTest, InPlaceEditWithSameSizeAndTimeIsSeen) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=aaaa\r\n");
  const timespec then = dateBack(path);
  ASSERT_EQ(value(path), "aaaa");
#ifdef _WIN32
  ASSERT_TRUE(overwrite(path, 7, "bbbb"));
#else
  const int fd = open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(pwrite(fd, "bbbb", 4, 7), 4);
  close(fd);
#endif
  setModified(path, then);  // only the change time tells
  passCheckInterval();
  EXPECT_EQ(value(path), "bbbb");
}

TEST_F(ProfileCacheTest, ReplacedFileWithSameSizeAndTimeIsSeen) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=aaaa\r\n");
  const timespec then = dateBack(path);
  ASSERT_EQ(value(path), "aaaa");
  const std::string other = files.folder() / "other";
  writeFile(other, "[S]\r\nK=cccc\r\n");
  setModified(other, then);
  std::filesystem::rename(other, path);
  passCheckInterval();
  EXPECT_EQ(value(path), "cccc");
}

TEST_F(ProfileCacheTest, OwnWriteIsSeenAtOnceUnderAnyName) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=old\r\n");
  dateBack(path);
  const std::string alias = files.folder().path() + "/./" + std::filesystem::path(path).filename().string();
  ASSERT_EQ(value(path), "old");
  ASSERT_EQ(value(alias), "old");
  ASSERT_TRUE(WP(path, "S", "K", "new"));
  EXPECT_EQ(value(path), "new");
  EXPECT_EQ(value(alias), "new");
}

TEST_F(ProfileCacheTest, RemovedFileGivesDefaults) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=v\r\n");
  ASSERT_EQ(value(path), "v");
  std::filesystem::remove(path);
  passCheckInterval();
  EXPECT_EQ(value(path), "<none>");
  writeFile(path, "[S]\r\nK=back\r\n");
  passCheckInterval();
  EXPECT_EQ(value(path), "back");
}

TEST_F(ProfileCacheTest, ManyFilesInTurnEachGiveTheirOwnValue) {
  ProfileFiles files;
  std::vector<std::string> paths;
  for (int i = 0; i < 20; ++i) paths.push_back(files.make("[S]\r\nK=" + std::to_string(i) + "\r\n"));
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 20; ++i) EXPECT_EQ(value(paths[i]), std::to_string(i));
  }
}

// A database unpacked with dates to come (or written under a skewed clock): its timestamps can
// never vouch for it, yet once it stops changing it is parsed once more at most, not at every
// check.
TEST_F(ProfileCacheTest, FileDatedADayAheadStopsBeingParsed) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=v\r\n");
  setModified(path, timespec{::time(nullptr) + 86400, 0});
  auto& cache = profile::ProfileCache::instance();
  const std::uint64_t before = cache.parses();
  const auto settleTime = std::chrono::nanoseconds(profile::ProfileCache::kSettleNs) + std::chrono::milliseconds(300);
  for (std::chrono::nanoseconds passed{0}; passed < settleTime; passed += std::chrono::milliseconds(150)) {
    ASSERT_EQ(value(path), "v");
    passCheckInterval();
  }
  EXPECT_EQ(cache.parses() - before, 2u) << "the first load and one confirming parse";
  for (int check = 0; check < 5; ++check) {
    passCheckInterval();
    ASSERT_EQ(value(path), "v");
  }
  EXPECT_EQ(cache.parses() - before, 2u);

  // A real change is still seen at the next check.
  writeFile(path, "[S]\r\nK=changed\r\n");
  setModified(path, timespec{::time(nullptr) + 86400, 0});
  passCheckInterval();
  EXPECT_EQ(value(path), "changed");
}

// Another program's edit shows once the copy is due for a check. A clock that goes back (a
// test's clock given back for the system's, say) makes the copy due at once rather than leaving
// it unchecked until the clock has caught up again.
TEST_F(ProfileCacheTest, AnotherProgramsEditShowsOnceTheCopyIsDueOrTheClockWentBack) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=old\r\n");
  ASSERT_EQ(value(path), "old");
  writeFile(path, "[S]\r\nK=longer\r\n");
  environment.advanceClock(std::chrono::milliseconds(50));
  EXPECT_EQ(value(path), "old") << "answered from the parsed copy within the check interval";
  environment.advanceClock(std::chrono::milliseconds(50));
  EXPECT_EQ(value(path), "longer");

  writeFile(path, "[S]\r\nK=longest\r\n");
  environment.advanceClock(-std::chrono::seconds(10));
  EXPECT_EQ(value(path), "longest");
}

TEST_F(ProfileCacheTest, RecentModificationCountsAsChange) {
  ProfileFiles files;
  const std::string path = files.make("");
  auto identity = platform::fileIdentity(path);
  ASSERT_TRUE(identity);
  EXPECT_TRUE(platform::recentlyModified(*identity));
  dateBack(path);
  identity = platform::fileIdentity(path);
  EXPECT_FALSE(platform::recentlyModified(*identity));
  setModified(path, timespec{::time(nullptr) + 3600, 0});
  EXPECT_TRUE(platform::recentlyModified(*platform::fileIdentity(path)));
}

}  // namespace

}  // namespace halvik::profile
