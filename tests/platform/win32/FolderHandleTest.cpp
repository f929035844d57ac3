// Folders held open for a walk on Windows: attributes as the file system keeps them, moves of
// the folders above, and trees deeper than the 260 bytes of the A functions.
#include "platform/Platform.h"

#include "support/TempFolder.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>

namespace halvik::platform {

namespace {
using platform::FolderHandle;
using testing_support::TempFolder;
using testing_support::writeFile;

std::map<std::string, std::uint32_t> listed(const FolderHandle& folder, const std::string& pattern,
                                            std::uint32_t mask) {
  std::map<std::string, std::uint32_t> result;
  const auto entries = folder.list(pattern, mask);
  EXPECT_TRUE(entries.has_value());
  if (entries)
    for (const auto& entry : *entries) result[entry.name] = entry.attributes;
  return result;
}

TEST(Win32FolderHandle, ListsWithTheStoredAttributesButNeverReadOnlyAndWithoutDots) {
  TempFolder tree;
  writeFile(tree / "file.txt", "x");
  writeFile(tree / "hidden.txt", "x");
  writeFile(tree / "readonly.txt", "x");
  ASSERT_TRUE(platform::createFolder(tree / "sub"));
  ASSERT_TRUE(SetFileAttributesA((tree / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA((tree / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));

  const FolderHandle folder = FolderHandle::open(tree.path());
  ASSERT_TRUE(folder.valid());
  const auto plain = listed(folder, "*.*", 0);
  EXPECT_EQ(plain.size(), 2u);
  EXPECT_TRUE(plain.count("file.txt") && plain.count("readonly.txt"));
  EXPECT_EQ(plain.at("readonly.txt") & platform::kReadOnly, 0u);
  EXPECT_EQ(folder.attributesOf("readonly.txt").value_or(0) & platform::kReadOnly, platform::kReadOnly);

  const auto all = listed(folder, "*", platform::kHidden | platform::kSystem | platform::kFolder);
  EXPECT_EQ(all.size(), 4u);
  EXPECT_TRUE(all.at("hidden.txt") & platform::kHidden);
  EXPECT_TRUE(all.at("sub") & platform::kFolder);
  EXPECT_EQ(listed(folder, "*.TXT", platform::kHidden).size(), 3u);
  EXPECT_FALSE(folder.attributesOf("missing").has_value());
  SetFileAttributesA((tree / "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32FolderHandle, ParentIsOpenedOnlyWhileItIsTheExpectedFolder) {
  TempFolder tree;
  ASSERT_TRUE(platform::createFolder(tree / "a"));
  ASSERT_TRUE(platform::createFolder(tree / "a\\b"));
  ASSERT_TRUE(platform::createFolder(tree / "elsewhere"));
  const FolderHandle a = FolderHandle::open(tree / "a");
  const FolderHandle b = a.openChild("b");
  ASSERT_TRUE(b.valid());
  EXPECT_FALSE(a.openChild("missing").valid());
  EXPECT_FALSE(a.openChild("..").valid() && a.openChild("..").id() == a.id());
  EXPECT_EQ(b.openParent(a.id()).id(), a.id());
  if (testing_support::runningUnderWine())
    GTEST_SKIP() << "Wine tells the path a folder was opened under, not where it has moved since";
  ASSERT_TRUE(MoveFileA((tree / "a\\b").c_str(), (tree / "elsewhere\\b").c_str()));
  EXPECT_FALSE(b.openParent(a.id()).valid());
  // The held folder is still listed where it went.
  writeFile(tree / "elsewhere\\b\\moved.txt", "x");
  EXPECT_EQ(listed(b, "*", 0).count("moved.txt"), 1u);
}

TEST(Win32FolderHandle, WalksBelowTheLimitOfTheAFunctions) {
  if (testing_support::runningUnderWine())
    GTEST_SKIP() << "Wine 8 gives no final path for a folder deeper than MAX_PATH";
  TempFolder tree;
  FolderHandle folder = FolderHandle::open(tree.path());
  std::wstring path;
  {
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(tree.path().c_str(), MAX_PATH, buffer, nullptr);
    path = L"\\\\?\\" + std::wstring(buffer, buffer + length);
  }
  const std::string step(100, 'd');
  for (int depth = 0; depth < 5; ++depth) {
    path += L"\\" + std::wstring(step.begin(), step.end());
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    folder = folder.openChild(step);
    ASSERT_TRUE(folder.valid()) << depth;
  }
  HANDLE file = CreateFileW((path + L"\\deep.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(listed(folder, "*.txt", 0).count("deep.txt"), 1u);
  EXPECT_TRUE(folder.attributesOf("deep.txt").has_value());
  // Removed here through the extended-length path: TempFolder's removal may stop at the limit.
  DeleteFileW((path + L"\\deep.txt").c_str());
  for (int depth = 0; depth < 5; ++depth) {
    RemoveDirectoryW(path.c_str());
    path.resize(path.find_last_of(L'\\'));
  }
}

}  // namespace

}  // namespace halvik::platform
