// The session lock under both backends, and the start of a detached program.
#include "platform/Platform.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>

namespace halvik::platform {

namespace {
using platform::FileLock;
using testing_support::TempFolder;

TEST(FileLockTest, OneHolderAtATimeEvenInOneProcessAndFreeAgainOnceLetGo) {
  TempFolder folder;
  const std::string path = folder / "monitor.lock";
  FileLock first = FileLock::tryTake(path);
  ASSERT_TRUE(first.held());
  EXPECT_FALSE(FileLock::tryTake(path).held());

  FileLock moved = std::move(first);  // the lock goes with the object, not with a copy of its handle
  EXPECT_FALSE(first.held());
  EXPECT_TRUE(moved.held());
  EXPECT_FALSE(FileLock::tryTake(path).held());

  moved = FileLock();
  EXPECT_TRUE(FileLock::tryTake(path).held());
}

TEST(FileLockTest, NoLockWhereTheFileCannotBeMadeOrIsAFolder) {
  TempFolder folder;
  EXPECT_FALSE(FileLock::tryTake(folder / "missing/monitor.lock").held());
  std::filesystem::create_directory(folder / "a folder");
  EXPECT_FALSE(FileLock::tryTake(folder / "a folder").held());
}

#ifndef _WIN32
TEST(FileLockTest, NeverTakenThroughASymbolicLink) {
  TempFolder folder;
  testing_support::writeFile(folder / "target", "keep");
  std::filesystem::create_symlink(folder / "target", folder / "monitor.lock");
  EXPECT_FALSE(FileLock::tryTake(folder / "monitor.lock").held());
  EXPECT_EQ(testing_support::readFile(folder / "target"), "keep");
}

TEST(StartProgramTest, StartsADetachedProgramWithItsArgumentsAsTheyAre) {
  TempFolder folder;
  const std::string out = folder / "arguments";
  ASSERT_TRUE(platform::startProgram("/bin/sh", {"-c", "printf '%s|' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0\"", out,
                                                 "a b", "", "--page"}));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!std::filesystem::exists(out) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(testing_support::readFile(out), "a b||--page|");
}

TEST(StartProgramTest, AProgramThatCannotRunIsAFailure) {
  TempFolder folder;
  EXPECT_FALSE(platform::startProgram(folder / "missing", {}));
  testing_support::writeFile(folder / "not executable", "#!/bin/sh\n");
  EXPECT_FALSE(platform::startProgram(folder / "not executable", {}));
}
#endif

}  // namespace

}  // namespace halvik::platform
