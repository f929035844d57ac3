// File and folder operations where Windows has its own rules: attribute bits as the file
// system keeps them, short names, access rights, drive roots.
#include "platform/Platform.h"

#include "support/TempFolder.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <aclapi.h>

#include <algorithm>

namespace halvik::platform {

namespace {
using testing_support::readFile;
using testing_support::TempFolder;
using testing_support::writeFile;

const platform::DirEntry* find(const std::vector<platform::DirEntry>& entries, const std::string& name) {
  const auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) { return entry.name == name; });
  return it == entries.end() ? nullptr : &*it;
}

TEST(Win32Listing, ReportsAttributesAsTheFileSystemKeepsThemAndMasksHiddenSystemAndFolders) {
  TempFolder dir;
  writeFile(dir / "plain.txt", "a");
  writeFile(dir / "hidden.txt", "b");
  writeFile(dir / "system.txt", "c");
  writeFile(dir / "readonly.txt", "d");
  writeFile(dir / ".dot.txt", "e");  // a leading dot hides nothing: only the attribute does
  ASSERT_TRUE(platform::createFolder(dir / "sub"));
  ASSERT_TRUE(SetFileAttributesA((dir / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA((dir / "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(SetFileAttributesA((dir / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));

  const auto plain = platform::listFolder(dir.path(), "*.*", 0);
  ASSERT_TRUE(plain);
  EXPECT_TRUE(find(*plain, "plain.txt"));
  EXPECT_TRUE(find(*plain, "readonly.txt"));
  ASSERT_TRUE(find(*plain, ".dot.txt"));
  EXPECT_EQ(find(*plain, ".dot.txt")->attributes & platform::kHidden, 0u);
  EXPECT_FALSE(find(*plain, "hidden.txt"));
  EXPECT_FALSE(find(*plain, "system.txt"));
  EXPECT_FALSE(find(*plain, "sub"));
  EXPECT_FALSE(find(*plain, "."));

  const auto all = platform::listFolder(dir.path(), "*", platform::kHidden | platform::kSystem | platform::kFolder);
  ASSERT_TRUE(all);
  for (const char* name : {"plain.txt", "hidden.txt", "system.txt", "readonly.txt", "sub"}) {
    const auto* entry = find(*all, name);
    ASSERT_TRUE(entry) << name;
    EXPECT_EQ(entry->attributes, *platform::fileAttributes(dir / name)) << name;
  }
  EXPECT_TRUE(find(*all, "."));
  EXPECT_TRUE(find(*all, ".."));
  EXPECT_TRUE(find(*all, "hidden.txt")->attributes & platform::kHidden);
  EXPECT_TRUE(find(*all, "system.txt")->attributes & platform::kSystem);
  EXPECT_TRUE(find(*all, "readonly.txt")->attributes & platform::kReadOnly);
  EXPECT_TRUE(find(*all, "sub")->attributes & platform::kFolder);
  SetFileAttributesA((dir / "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32Listing, MatchesTheNameAsListedNeverItsShortName) {
  TempFolder dir;
  writeFile(dir / "page.html", "a");
  writeFile(dir / "Other.HTM", "b");
  const auto entries = platform::listFolder(dir.path(), "*.htm", 0);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ(entries->front().name, "Other.HTM");
}

TEST(Win32Listing, TellsAnEmptyMatchFromAMissingFolder) {
  TempFolder dir;
  const auto none = platform::listFolder(dir.path(), "*.none", 0);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
  EXPECT_FALSE(platform::listFolder(dir / "missing", "*.*", 0));
  EXPECT_FALSE(platform::listFolder(dir / "missing", "*.none", 0));
}

TEST(Win32Files, CopyOfAReadOnlySourceIsAnOrdinaryFileAndNeverOverwritesWhenAskedNot) {
  TempFolder dir;
  writeFile(dir / "source", "fresh");
  ASSERT_TRUE(SetFileAttributesA((dir / "source").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(platform::copyFile(dir / "source", dir / "copy"));
  EXPECT_EQ(readFile(dir / "copy"), "fresh");
  EXPECT_EQ(*platform::fileAttributes(dir / "copy") & (platform::kReadOnly | platform::kHidden), 0u);

  writeFile(dir / "kept", "old");
  EXPECT_FALSE(platform::copyFile(dir / "source", dir / "kept", {.replace = false}));
  EXPECT_EQ(readFile(dir / "kept"), "old");
  EXPECT_TRUE(platform::copyFile(dir / "source", dir / "kept"));
  EXPECT_EQ(readFile(dir / "kept"), "fresh");
  SetFileAttributesA((dir / "source").c_str(), FILE_ATTRIBUTE_NORMAL);
  // Nothing left behind under a temporary name.
  EXPECT_EQ(platform::listFolder(dir.path(), "*", platform::kHidden | platform::kSystem)->size(), 3u);
}

// The copy's access list names the running user alone, without the execute right. Wine keeps
// no access lists on a Unix file system: it reports one made from the file's mode bits, which
// also names the system account and grants full access; there only "nobody else" is checked.
TEST(Win32Files, OwnerOnlyCopyGrantsNobodyElse) {
  TempFolder dir;
  writeFile(dir / "source", "bytes");
  ASSERT_TRUE(platform::copyFile(dir / "source", dir / "copy", {.ownerOnly = true}));
  EXPECT_EQ(readFile(dir / "copy"), "bytes");

  PACL acl = nullptr;
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoA((dir / "copy").c_str(), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION, &owner, nullptr, &acl,
                                  nullptr, &descriptor),
            ERROR_SUCCESS);
  ASSERT_TRUE(acl);
  const bool wine = testing_support::runningUnderWine();
  if (!wine) {
    EXPECT_EQ(acl->AceCount, 1);
  }
  for (WORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(acl, i, &ace));
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    ASSERT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    PSID sid = const_cast<DWORD*>(&allowed->SidStart);
    if (wine && IsWellKnownSid(sid, WinLocalSystemSid)) continue;
    EXPECT_TRUE(EqualSid(sid, owner)) << "access granted to another account";
    if (!wine) {
      EXPECT_EQ(allowed->Mask & FILE_EXECUTE, 0u);
    }
  }
  LocalFree(descriptor);
}

TEST(Win32Files, DeleteNeverRemovesAFolderAndAppendEndsLinesWithCrLf) {
  TempFolder dir;
  ASSERT_TRUE(platform::createFolder(dir / "sub"));
  EXPECT_TRUE(platform::createFolder(dir / "sub"));
  EXPECT_FALSE(platform::deleteFile(dir / "sub"));
  EXPECT_TRUE(platform::fileAttributes(dir / "sub"));

  ASSERT_TRUE(platform::appendLine(dir / "log.txt", "one"));
  ASSERT_TRUE(platform::appendLine(dir / "log.txt", "two"));
  EXPECT_EQ(readFile(dir / "log.txt"), "one\r\ntwo\r\n");
  EXPECT_EQ(platform::fileLength(dir / "log.txt"), 10u);
  EXPECT_TRUE(platform::deleteFile(dir / "log.txt"));
  EXPECT_FALSE(platform::fileLength(dir / "log.txt"));
}

TEST(Win32System, ProgramFolderWindowsFolderDrivesAndPlatform) {
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  const std::string path(module, length);
  EXPECT_EQ(platform::programFolder(), path.substr(0, path.find_last_of('\\')));

  char windows[MAX_PATH];
  const UINT windowsLength = GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(platform::windowsFolder(), std::string(windows, windowsLength));
  EXPECT_TRUE(*platform::fileAttributes(platform::windowsFolder()) & platform::kFolder);

  const auto drives = platform::drives();
  ASSERT_FALSE(drives.empty());
  for (const auto& drive : drives) {
    EXPECT_EQ(drive.size(), 3u) << drive;
    EXPECT_EQ(drive.substr(1), ":\\") << drive;
  }
  EXPECT_NE(std::find(drives.begin(), drives.end(), platform::windowsFolder().substr(0, 3)), drives.end());

  EXPECT_EQ(platform::platformId(), 2);
  EXPECT_EQ(platform::kSeparator, '\\');
}

TEST(Win32System, ShortDateAndTimeAreTheUsersForms) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_NE(platform::shortDate().find(std::to_string(now.wYear).substr(2)), std::string::npos)
      << platform::shortDate();
  EXPECT_GE(platform::shortTime().size(), 5u);
  EXPECT_NE(platform::shortTime().find(':'), std::string::npos) << platform::shortTime();
}

}  // namespace

}  // namespace halvik::platform
