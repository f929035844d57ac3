#include "platform/Platform.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>

namespace halvik::platform {

namespace {
using namespace testing_support;
using platform::FolderHandle;
namespace fs = std::filesystem;

std::vector<std::string> names(const std::vector<platform::DirEntry>& entries) {
  std::vector<std::string> result;
  for (const auto& entry : entries) result.push_back(entry.name);
  std::sort(result.begin(), result.end());
  return result;
}

TEST(FolderHandleTest, ListsWithoutSystemEntriesOrFoldersUnlessAskedAndWithoutDots) {
  TempFolder tree;
  fs::create_directory(tree / "sub");
  fs::create_directory(tree / ".hidden");
  writeFile(tree / "file", "x");
  writeFile(tree / ".dotfile", "x");
  ASSERT_EQ(mkfifo((tree / "pipe").c_str(), 0600), 0);
  fs::create_symlink("file", tree / "link");

  const FolderHandle folder = FolderHandle::open(tree.path());
  ASSERT_TRUE(folder.valid());
  EXPECT_EQ(names(*folder.list("*.*", 0)), (std::vector<std::string>{".dotfile", "file", "link"}));
  const auto all = *folder.list("*", platform::kFolder | platform::kHidden | platform::kSystem);
  EXPECT_EQ(names(all), (std::vector<std::string>{".dotfile", ".hidden", "file", "link", "pipe", "sub"}));
  const std::map<std::string, std::uint32_t> expected{
      {"sub", platform::kFolder},  {".hidden", platform::kFolder},    {".dotfile", 0},
      {"pipe", platform::kSystem}, {"link", platform::kReparsePoint}, {"file", 0}};
  for (const auto& entry : all) {
    if (expected.count(entry.name)) {
      EXPECT_EQ(entry.attributes, expected.at(entry.name)) << entry.name;
    }
  }
}

// What a link leads to is never looked at: a link to a folder is listed as a link alone, even
// where folders are left out; attributesOf still tells where it leads.
TEST(FolderHandleTest, ListsALinkToAFolderAsALinkAlone) {
  TempFolder tree;
  fs::create_directory(tree / "real");
  fs::create_directory_symlink("real", tree / "to-folder");
  const FolderHandle folder = FolderHandle::open(tree.path());
  const auto listed = *folder.list("*", 0);
  ASSERT_EQ(names(listed), (std::vector<std::string>{"to-folder"}));
  EXPECT_EQ(listed[0].attributes, platform::kReparsePoint);
  EXPECT_EQ(folder.attributesOf("to-folder"), platform::kReparsePoint | platform::kFolder);
}

TEST(FolderHandleTest, AttributesOfAnEntryCarryTheReadOnlyBit) {
  TempFolder tree;
  fs::create_directory(tree / "sub");
  ASSERT_EQ(chmod((tree / "sub").c_str(), 0555), 0);
  const FolderHandle folder = FolderHandle::open(tree.path());
  EXPECT_EQ(folder.attributesOf("sub"), platform::kFolder | platform::kReadOnly);
  EXPECT_FALSE(folder.attributesOf("missing").has_value());
}

TEST(FolderHandleTest, ChildIsNeverOpenedThroughALink) {
  TempFolder tree;
  fs::create_directory(tree / "real");
  fs::create_directory_symlink("real", tree / "link");
  const FolderHandle folder = FolderHandle::open(tree.path());
  EXPECT_TRUE(folder.openChild("real").valid());
  EXPECT_FALSE(folder.openChild("link").valid());
  EXPECT_FALSE(folder.openChild("missing").valid());
  // A root given as a link is followed: the user chose it.
  EXPECT_TRUE(FolderHandle::open(tree / "link").valid());
  // Opened with the identity a listing gives: the same answers, the same identity.
  for (const char* name : {"real", "link"}) {
    const auto looked = folder.identify(name);
    ASSERT_TRUE(looked.has_value()) << name;
    const FolderHandle child = folder.openChild(name, nullptr, looked->id.file);
    EXPECT_EQ(child.valid(), std::string(name) == "real") << name;
    if (child.valid()) {
      EXPECT_EQ(child.id(), FolderHandle::open(tree / "real").id());
    }
  }
}

TEST(FolderHandleTest, ParentIsOpenedOnlyWhileItIsTheExpectedFolder) {
  TempFolder tree;
  fs::create_directories(tree / "a/b");
  fs::create_directory(tree / "elsewhere");
  const FolderHandle a = FolderHandle::open(tree / "a");
  const FolderHandle b = a.openChild("b");
  EXPECT_EQ(b.openParent(a.id()).id(), a.id());
  fs::rename(tree / "a/b", tree / "elsewhere/b");
  EXPECT_FALSE(b.openParent(a.id()).valid());
}

// Mount points right below "/" that hold another file system (/proc, /sys, /dev on most systems).
std::vector<std::string> mountsBelowRoot() {
  std::ifstream mountinfo("/proc/self/mountinfo");
  std::vector<std::string> result;
  for (std::string line; std::getline(mountinfo, line);) {
    std::istringstream fields(line);
    std::string id, parent, device, root, mountPoint;
    fields >> id >> parent >> device >> root >> mountPoint;
    if (mountPoint.size() > 1 && mountPoint.find('/', 1) == std::string::npos) result.push_back(mountPoint.substr(1));
  }
  return result;
}

TEST(FolderHandleTest, AnotherFileSystemIsNotEntered) {
  const FolderHandle root = FolderHandle::open("/");
  int checked = 0;
  for (const std::string& name : mountsBelowRoot()) {
    struct stat below;
    if (stat(("/" + name).c_str(), &below) != 0 || static_cast<std::uint64_t>(below.st_dev) == root.id().device)
      continue;
    EXPECT_FALSE(root.openChild(name).valid()) << name;
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "no other file system is mounted right below /";
}

}  // namespace

}  // namespace halvik::platform
