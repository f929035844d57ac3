#include "platform/FolderCheck.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace halvik::platform {
namespace {
using testing_support::TempFolder;
using testing_support::writeFile;

TEST(IsFolder, IsTrueForFoldersOnly) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "sub");
  writeFile(dir / "file", "x");
  for (const Links links : {Links::NotFolders, Links::Followed}) {
    EXPECT_TRUE(isFolder(dir / "sub", links));
    EXPECT_FALSE(isFolder(dir / "file", links));
    EXPECT_FALSE(isFolder(dir / "missing", links));
    EXPECT_FALSE(isFolder(dir / "file/below", links));
    EXPECT_FALSE(isFolder("", links));
  }
}

#ifndef _WIN32
TEST(IsFolder, TakesALinkForAFolderOnlyWhenAskedToFollowIt) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "sub");
  writeFile(dir / "file", "x");
  std::filesystem::create_directory_symlink(dir / "sub", dir / "toSub");
  std::filesystem::create_symlink(dir / "file", dir / "toFile");
  std::filesystem::create_directory_symlink(dir / "gone", dir / "dangling");
  EXPECT_FALSE(isFolder(dir / "toSub"));
  EXPECT_TRUE(isFolder(dir / "toSub", Links::Followed));
  for (const Links links : {Links::NotFolders, Links::Followed}) {
    EXPECT_FALSE(isFolder(dir / "toFile", links));
    EXPECT_FALSE(isFolder(dir / "dangling", links));
  }
  // A link higher up the path is always gone through; only the last name is judged.
  EXPECT_TRUE(isFolder(dir / "toSub/."));
}
#endif

}  // namespace
}  // namespace halvik::platform
