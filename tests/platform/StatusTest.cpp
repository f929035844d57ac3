#include "platform/Platform.h"
#include "platform/ProfileFile.h"
#include "platform/SystemText.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace halvik::platform {
namespace {
using testing_support::TempFolder;
using testing_support::writeFile;

// The system's codes for what the cases below run into.
#ifdef _WIN32
constexpr std::uint32_t kMissingFile = 2;    // ERROR_FILE_NOT_FOUND
constexpr std::uint32_t kMissingFolder = 3;  // ERROR_PATH_NOT_FOUND
constexpr std::uint32_t kExists = 183;       // ERROR_ALREADY_EXISTS
constexpr std::uint32_t kNotAFolder = 267;   // ERROR_DIRECTORY
constexpr std::uint32_t kInvalid = 87;       // ERROR_INVALID_PARAMETER
#else
constexpr std::uint32_t kMissingFile = ENOENT;
constexpr std::uint32_t kMissingFolder = ENOENT;
constexpr std::uint32_t kExists = EEXIST;
constexpr std::uint32_t kNotAFolder = ENOTDIR;
constexpr std::uint32_t kInvalid = EINVAL;
#endif

// A failure that carries `code` and the system's own text for it.
void expectReason(const Status& status, std::uint32_t code) {
  EXPECT_FALSE(status);
  EXPECT_EQ(status.code(), code);
  EXPECT_FALSE(status.text().empty());
  EXPECT_EQ(status.text(), errorText(code));
#ifndef _WIN32
  EXPECT_EQ(status.text(), std::strerror(static_cast<int>(code)));
#endif
}

TEST(Status, SuccessCarriesNoReason) {
  const Status success;
  EXPECT_TRUE(success);
  EXPECT_EQ(success.code(), 0u);
  EXPECT_TRUE(success.text().empty());
}

TEST(Status, TheSystemTextIsOneLineWithoutAFinalPeriod) {
  for (const std::uint32_t code : {kMissingFile, kMissingFolder, kExists, kNotAFolder, kInvalid}) {
    const std::string text = errorText(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), '.') << text;
    EXPECT_NE(text.back(), ' ') << text;
  }
}

TEST(Status, FileOperationsGiveTheSystemsReason) {
  TempFolder dir;
  writeFile(dir / "source", "abc");
  expectReason(copyFile(dir / "source", dir / "nowhere/copy"), kMissingFolder);
  expectReason(copyFile(dir / "missing", dir / "copy"), kMissingFile);
  expectReason(deleteFile(dir / "missing"), kMissingFile);
  expectReason(createFolder(dir / "source"), kExists);
  expectReason(createFolder(dir / "nowhere/sub"), kMissingFolder);
  expectReason(createOwnerFolders(dir / "source/sub"), kNotAFolder);
  expectReason(appendLine(dir / "nowhere/log.txt", "x"), kMissingFolder);
  expectReason(FileLock::tryTake(dir / "nowhere/monitor.lock").status(), kMissingFolder);
  EXPECT_TRUE(FileLock::tryTake(dir / "monitor.lock").status());
}

TEST(Status, ARejectedEditIsAnInvalidArgumentAndWritesNothing) {
  TempFolder dir;
  writeFile(dir / "settings.ini", "[a]\r\n");
  const Status rejected = replaceFile(dir / "settings.ini", [](const FileContent&) {
    return EditResult{EditResult::Kind::Rejected, "changed"};
  });
  expectReason(rejected, kInvalid);
  EXPECT_EQ(testing_support::readFile(dir / "settings.ini"), "[a]\r\n");
  expectReason(replaceFile(dir / "nowhere/settings.ini",
                           [](const FileContent&) {
                             return EditResult{EditResult::Kind::Changed, "x"};
                           }),
               kMissingFolder);
}

#ifndef _WIN32
TEST(Status, ProgramsAndProcessesGiveTheSystemsReason) {
  TempFolder dir;
  expectReason(startProgram(dir / "missing", {}), ENOENT);
  writeFile(dir / "not executable", "#!/bin/sh\n");
  expectReason(startProgram(dir / "not executable", {}), EACCES);
  // Identifiers beyond the system's pid_t name no process, never a group.
  expectReason(terminateProcess(0), ESRCH);
  expectReason(suspendThread(0x80000000u, 1), ESRCH);
}
#endif

}  // namespace
}  // namespace halvik::platform
