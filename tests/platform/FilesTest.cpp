#include "platform/Platform.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

// Symbolic links, FIFOs, permission bits and resource limits are POSIX: the checks that need
// them run on Linux only (Windows has its own in tests/platform/win32/).
#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#endif

namespace halvik::platform {

namespace {
using testing_support::readFile;
using testing_support::TempFolder;
using testing_support::writeFile;

#ifndef _WIN32
mode_t modeOf(const std::string& path) {
  struct stat own {};
  lstat(path.c_str(), &own);
  return own.st_mode & 07777;
}

mode_t currentUmask() {
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}
#endif

void makeFolder(const std::string& path) { std::filesystem::create_directory(path); }

// Every name in `folder`, hidden ones included (a left-over temporary file would show here).
std::size_t entryCount(const std::string& folder) {
  const auto entries = platform::listFolder(folder, "*", platform::kHidden | platform::kSystem | platform::kFolder);
  return entries ? entries->size() - 2 : 0;  // less "." and ".."
}

std::string binaryContent() {
  std::string bytes;
  for (int i = 0; i < 700000; ++i) bytes.push_back(static_cast<char>(i * 7 % 256));
  return bytes;
}

TEST(CopyFile, ReplacesByDefaultWithAnExactCopy) {
  TempFolder dir;
  const std::string content = binaryContent();
  writeFile(dir / "source", content);
  writeFile(dir / "target", "old");
  ASSERT_TRUE(platform::copyFile(dir / "source", dir / "target"));
  EXPECT_EQ(readFile(dir / "target"), content);
  EXPECT_EQ(entryCount(dir.path()), 2u);
  writeFile(dir / "empty", "");
  ASSERT_TRUE(platform::copyFile(dir / "empty", dir / "target"));
  EXPECT_EQ(readFile(dir / "target"), "");
}

// A copy left for its caller to flush is the same copy; the flush never follows a link.
TEST(CopyFile, ACopyFlushedLaterIsExactAndTheFlushRefusesLinksAndMissingFiles) {
  TempFolder dir;
  writeFile(dir / "source", "bytes");
  ASSERT_TRUE(platform::copyFile(dir / "source", dir / "target", {.replace = false, .flush = false}));
  EXPECT_TRUE(platform::flushFile(dir / "target"));
  EXPECT_EQ(readFile(dir / "target"), "bytes");
  EXPECT_FALSE(platform::flushFile(dir / "missing"));
#ifndef _WIN32
  std::filesystem::create_symlink(dir / "target", dir / "link");
  EXPECT_FALSE(platform::flushFile(dir / "link"));
#endif
}

TEST(CopyFile, WithoutReplaceNeverOverwrites) {
  TempFolder dir;
  writeFile(dir / "source", "new");
  writeFile(dir / "target", "old");
  EXPECT_FALSE(platform::copyFile(dir / "source", dir / "target", {.replace = false}));
  EXPECT_EQ(readFile(dir / "target"), "old");
#ifndef _WIN32
  symlink("nowhere", (dir / "link").c_str());
  EXPECT_FALSE(platform::copyFile(dir / "source", dir / "link", {.replace = false}));
  EXPECT_EQ(entryCount(dir.path()), 3u);
#endif
  EXPECT_TRUE(platform::copyFile(dir / "source", dir / "fresh", {.replace = false}));
  EXPECT_EQ(readFile(dir / "fresh"), "new");
}

TEST(CopyFile, RacingCopiesWithoutReplaceLeaveExactlyOneWinner) {
  TempFolder dir;
  constexpr int kCopies = 8;
  for (int i = 0; i < kCopies; ++i)
    writeFile(dir / ("source" + std::to_string(i)), std::string(100000, static_cast<char>('a' + i)));
  std::atomic<int> winners{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kCopies; ++i)
    threads.emplace_back([&, i] {
      if (platform::copyFile(dir / ("source" + std::to_string(i)), dir / "target", {.replace = false})) ++winners;
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(winners, 1);
  const std::string content = readFile(dir / "target");
  ASSERT_EQ(content.size(), 100000u);
  EXPECT_EQ(content, std::string(100000, content.front()));
  EXPECT_EQ(entryCount(dir.path()), kCopies + 1u);
}

TEST(CopyFile, PermissionsNeverIncludeExecute) {
#ifdef _WIN32
  GTEST_SKIP() << "Unix permission bits; on Windows Win32Files.OwnerOnlyCopyGrantsNobodyElse checks the access list";
#else
  TempFolder dir;
  writeFile(dir / "tool", "#!/bin/sh\n");
  chmod((dir / "tool").c_str(), 0755);
  ASSERT_TRUE(platform::copyFile(dir / "tool", dir / "private", {.ownerOnly = true}));
  EXPECT_EQ(modeOf(dir / "private"), 0600u);
  ASSERT_TRUE(platform::copyFile(dir / "tool", dir / "shared"));
  EXPECT_EQ(modeOf(dir / "shared"), 0666u & ~currentUmask());
  // Replacing keeps the rule too.
  ASSERT_TRUE(platform::copyFile(dir / "tool", dir / "shared", {.ownerOnly = true}));
  EXPECT_EQ(modeOf(dir / "shared"), 0600u);
#endif
}

TEST(CopyFile, FailuresLeaveNoFileBehind) {
  TempFolder dir;
  writeFile(dir / "source", "abc");
  makeFolder(dir / "folder");
  EXPECT_FALSE(platform::copyFile(dir / "missing", dir / "a"));
  EXPECT_FALSE(platform::copyFile(dir / "folder", dir / "b"));
  EXPECT_FALSE(platform::copyFile(dir / "source", dir / "nowhere/d"));
  EXPECT_FALSE(platform::copyFile(dir / "source", dir / "folder"));  // a folder is never replaced
#ifndef _WIN32
  mkfifo((dir / "fifo").c_str(), 0644);
  EXPECT_FALSE(platform::copyFile(dir / "fifo", dir / "c"));  // must not wait for a writer
  EXPECT_EQ(entryCount(dir.path()), 3u);
#else
  EXPECT_EQ(entryCount(dir.path()), 2u);
#endif
  EXPECT_EQ(entryCount(dir / "folder"), 0u);
}

TEST(CopyFile, AWriteFailureMidwayLeavesNoPartialFile) {
#ifdef _WIN32
  GTEST_SKIP() << "simulates a full disk with fork and a file size limit, which Windows lacks";
#else
  TempFolder dir;
  writeFile(dir / "source", binaryContent());
  mkdir((dir / "out").c_str(), 0755);
  // In a child, limit the size of written files as a full disk would.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100000, 100000};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(platform::copyFile(dir / "source", dir / "out/copy") ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the copy reported success";
  EXPECT_EQ(entryCount(dir / "out"), 0u);
#endif
}

TEST(CopyFile, IntoAReadOnlyFolderFails) {
#ifdef _WIN32
  GTEST_SKIP() << "folder permission bits; the read-only attribute of a Windows folder does not stop writes";
#else
  TempFolder dir;
  writeFile(dir / "source", "abc");
  mkdir((dir / "locked").c_str(), 0555);
  testing_support::withoutRootOverrides([&] {
    EXPECT_FALSE(platform::copyFile(dir / "source", dir / "locked/copy"));
    EXPECT_FALSE(platform::createFolder(dir / "locked/sub"));
    EXPECT_FALSE(platform::appendLine(dir / "locked/log.txt", "x"));
  });
  EXPECT_EQ(entryCount(dir / "locked"), 0u);
#endif
}

TEST(DeleteFile, RemovesFilesAndLinksButNeverFolders) {
  TempFolder dir;
  writeFile(dir / "file", "x");
  makeFolder(dir / "folder");
  writeFile(dir / "folder/inside", "x");
  EXPECT_FALSE(platform::deleteFile(dir / "folder"));
  EXPECT_FALSE(platform::deleteFile(dir / "folder/"));
  EXPECT_TRUE(platform::fileAttributes(dir / "folder/inside"));
#ifndef _WIN32
  symlink("folder", (dir / "link").c_str());
  symlink("file", (dir / "filelink").c_str());
  symlink("missing", (dir / "dangling").c_str());
  EXPECT_TRUE(platform::deleteFile(dir / "link"));
  EXPECT_TRUE(platform::deleteFile(dir / "filelink"));
  EXPECT_TRUE(platform::deleteFile(dir / "dangling"));
#endif
  EXPECT_EQ(readFile(dir / "folder/inside"), "x");
  EXPECT_EQ(readFile(dir / "file"), "x");
  EXPECT_TRUE(platform::deleteFile(dir / "file"));
  EXPECT_FALSE(platform::deleteFile(dir / "file"));
  EXPECT_EQ(entryCount(dir.path()), 1u);
}

TEST(CreateFolder, CreatesOneLevel) {
  TempFolder dir;
  writeFile(dir / "file", "x");
  EXPECT_TRUE(platform::createFolder(dir / "new"));
  EXPECT_TRUE(platform::createFolder(dir / "new"));
  EXPECT_EQ(platform::fileAttributes(dir / "new"), platform::kFolder);
  EXPECT_FALSE(platform::createFolder(dir / "file"));
  EXPECT_FALSE(platform::createFolder(dir / "a/b"));
  EXPECT_FALSE(platform::fileAttributes(dir / "a"));
#ifndef _WIN32
  symlink("new", (dir / "link").c_str());
  EXPECT_TRUE(platform::createFolder(dir / "link"));
#endif
  EXPECT_FALSE(platform::createFolder(""));
}

TEST(AppendLine, CreatesTheFileAndEndsEveryLineWithCrLf) {
  TempFolder dir;
  ASSERT_TRUE(platform::appendLine(dir / "log.txt", "[10:00:00] first"));
  ASSERT_TRUE(platform::appendLine(dir / "log.txt", ""));
  ASSERT_TRUE(platform::appendLine(dir / "log.txt", "third \xff"));
  EXPECT_EQ(readFile(dir / "log.txt"), "[10:00:00] first\r\n\r\nthird \xff\r\n");
  EXPECT_FALSE(platform::appendLine(dir / "missing/log.txt", "x"));
  makeFolder(dir / "folder");
  EXPECT_FALSE(platform::appendLine(dir / "folder", "x"));
#ifndef _WIN32
  mkfifo((dir / "fifo").c_str(), 0644);
  EXPECT_FALSE(platform::appendLine(dir / "fifo", "x"));  // no reader: fails at once
#endif
}

TEST(FileLength, MeasuresAnythingThatExists) {
  TempFolder dir;
  writeFile(dir / "file", "12345");
  EXPECT_EQ(platform::fileLength(dir / "file"), 5u);
#ifndef _WIN32
  symlink("file", (dir / "link").c_str());
  EXPECT_EQ(platform::fileLength(dir / "link"), 4u);  // the link itself: "file"
#endif
  EXPECT_TRUE(platform::fileLength(dir.path()).has_value());
  EXPECT_FALSE(platform::fileLength(dir / "missing"));
  EXPECT_FALSE(platform::fileAttributes(dir / "missing"));
}

TEST(FileAttributes, ALeadingDotHidesNothing) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows keeps its hidden attribute (Win32Listing tests)";
#else
  TempFolder dir;
  mkdir((dir / ".config").c_str(), 0755);
  writeFile(dir / ".config/file", "x");
  EXPECT_EQ(platform::fileAttributes(dir / ".config"), platform::kFolder);
  EXPECT_EQ(platform::fileAttributes(dir / ".config/"), platform::kFolder);
  EXPECT_EQ(platform::fileAttributes(dir / ".config/file"), 0u);
  EXPECT_EQ(platform::fileAttributes("/").value_or(0) & (platform::kHidden | platform::kFolder), platform::kFolder);
#endif
}

}  // namespace

}  // namespace halvik::platform
