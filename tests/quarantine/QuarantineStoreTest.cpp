#include "core/Locations.h"
#include "quarantine/QuarantineStore.h"
#include "support/QuarantineFile.h"
#include "support/TestEnvironment.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#endif

namespace halvik::quarantine {

using testing_support::readFile;
using testing_support::TestEnvironment;
using testing_support::writeFile;

namespace {

class QuarantineStoreTest : public ::testing::Test {
 protected:
  // A detected file `name` with `content` in the folder `folder` of the temporary root.
  std::string detected(const std::string& folder, const std::string& name, const std::string& content) {
    const std::string dir = m_environment.root() / folder;
    std::filesystem::create_directories(dir);
    writeFile(dir + "/" + name, content);
    return dir + "/" + name;
  }
  static std::string stored(const std::string& storedName) { return QuarantineFolder() + "/" + storedName; }
  static bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
  }
  static std::vector<std::string> storedNames() {
    std::vector<std::string> names;
    for (const QuarantineEntry& entry : ListQuarantine()) names.push_back(entry.storedName);
    return names;
  }
#ifndef _WIN32
  static unsigned modeOf(const std::string& path) { struct stat status { };
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
  }
#endif

  TestEnvironment m_environment;
};

}  // namespace

TEST_F(QuarantineStoreTest, NamesFollowTheSourceName) {
  EXPECT_EQ(QuarantineFolder(), m_environment.programFolder() + platform::kSeparator + "Quarintine");
  EXPECT_EQ(QuarantineName("/x/evil.exe"), "evil.exe.aaq");
  EXPECT_EQ(QuarantineName("/x/hosts"), "hosts.aaq");
  EXPECT_EQ(QuarantineName("setup.exe"), "setup.exe.aaq");

  EXPECT_EQ(SourceNameOf("evil.exe.aaq"), "evil.exe");
  EXPECT_EQ(SourceNameOf("a.aaq.txt.aaq"), "a.aaq.txt");
  EXPECT_EQ(SourceNameOf("SETUP.EXE.AAQ"), "SETUP.EXE");
  EXPECT_EQ(SourceNameOf("x.Aaq"), "x");
  EXPECT_EQ(SourceNameOf("a.aaq.aaq"), "a.aaq");
  EXPECT_EQ(SourceNameOf(".aaq"), "");
  EXPECT_EQ(SourceNameOf("notes.txt"), "notes.txt");
  EXPECT_EQ(SourceNameOf("aaq"), "aaq");
}

TEST_F(QuarantineStoreTest, StoresAnExactOwnerOnlyCopyAndLeavesTheSource) {
  std::string content = "MZ\x90";
  content += std::string("\0\r\n\x1A", 4) + std::string(300000, '\xCC');
  const std::string source = detected("x", "evil.exe", content);
#ifndef _WIN32  // permission bits; Windows's owner-only access list is checked in tests/platform/win32
  ASSERT_EQ(chmod(source.c_str(), 0755), 0);
#endif

  ASSERT_TRUE(testing_support::quarantineFile(source));
  EXPECT_EQ(readFile(stored("evil.exe.aaq")), content);
#ifndef _WIN32
  EXPECT_EQ(modeOf(stored("evil.exe.aaq")), 0600u);
#endif
  EXPECT_EQ(readFile(source), content);
  EXPECT_EQ(storedNames(), std::vector<std::string>{"evil.exe.aaq"}) << "no temporary file stays behind";
  EXPECT_EQ(ListQuarantine().front().size, content.size());
}

TEST_F(QuarantineStoreTest, NeverOverwritesAStoredFile) {
  ASSERT_TRUE(testing_support::quarantineFile(detected("a", "x.dll", "from a")));
  ASSERT_TRUE(testing_support::quarantineFile(detected("b", "x.dll", "from b")));
  ASSERT_TRUE(testing_support::quarantineFile(detected("c", "x.dll", "from c")));
  EXPECT_EQ(readFile(stored("x.dll.aaq")), "from a");
  EXPECT_EQ(readFile(stored("x (2).dll.aaq")), "from b");
  EXPECT_EQ(readFile(stored("x (3).dll.aaq")), "from c");

  for (const std::string name : {"hosts", ".bashrc", "archive.tar.gz", "name."}) {
    ASSERT_TRUE(testing_support::quarantineFile(detected("a", name, "1")));
    ASSERT_TRUE(testing_support::quarantineFile(detected("b", name, "2")));
  }
  EXPECT_EQ(readFile(stored("hosts (2).aaq")), "2");
  EXPECT_EQ(readFile(stored(".bashrc (2).aaq")), "2");
  EXPECT_EQ(readFile(stored("archive.tar (2).gz.aaq")), "2");
  EXPECT_EQ(readFile(stored("name (2)..aaq")), "2");
  EXPECT_EQ(readFile(stored("hosts.aaq")), "1");
}

TEST_F(QuarantineStoreTest, ReportsAFailedCopyAndLeavesNothing) {
  EnsureQuarantineFolder();
  EXPECT_FALSE(testing_support::quarantineFile(m_environment.root() / "missing.exe"));
  const std::string folder = m_environment.root() / "folder.exe";
  std::filesystem::create_directory(folder);
  EXPECT_FALSE(testing_support::quarantineFile(folder));
  EXPECT_TRUE(std::filesystem::is_empty(QuarantineFolder()));
}

TEST_F(QuarantineStoreTest, ProgramFolderThatCannotHoldTheQuarantineFails) {
  const std::string source = detected("x", "evil.exe", "bad");
  const std::string file = m_environment.root() / "plain-file";
  writeFile(file, "x");
  m_environment->programFolder = file;
  EnsureQuarantineFolder();
  EXPECT_FALSE(testing_support::quarantineFile(source));
  EXPECT_TRUE(ListQuarantine().empty());
  EXPECT_FALSE(DeleteFromQuarantine("evil.exe.aaq"));
  EXPECT_EQ(readFile(source), "bad");
}

TEST_F(QuarantineStoreTest, ReadOnlyProgramFolderFails) {
#ifdef _WIN32
  GTEST_SKIP() << "folder permission bits are POSIX";
#else
  const std::string source = detected("x", "evil.exe", "bad");
  ASSERT_EQ(chmod(m_environment.programFolder().c_str(), 0555), 0);
  testing_support::withoutRootOverrides([&] { EXPECT_FALSE(testing_support::quarantineFile(source)); });
  EXPECT_TRUE(ListQuarantine().empty());
  ASSERT_EQ(chmod(m_environment.programFolder().c_str(), 0755), 0);
#endif
}

TEST_F(QuarantineStoreTest, ListsStoredFilesInNameOrder) {
  EXPECT_TRUE(ListQuarantine().empty()) << "no folder yet";
  EnsureQuarantineFolder();
  writeFile(stored("b.exe.aaq"), "12345");
  writeFile(stored("NOTES.AAQ"), "");
  writeFile(stored("a.aaq.txt.aaq"), "1");
  writeFile(stored(".hidden.aaq"), "12");
  writeFile(stored("notes.txt"), "not stored by us");
  writeFile(stored("aaq"), "no extension");
  std::filesystem::create_directory(stored("folder.aaq"));
#ifndef _WIN32  // a symbolic link needs a privilege on Windows
  std::filesystem::create_symlink(stored("b.exe.aaq"), stored("link.aaq"));
#endif

  const std::vector<QuarantineEntry> entries = ListQuarantine();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].storedName, ".hidden.aaq");
  EXPECT_EQ(entries[0].sourceName, ".hidden");
  EXPECT_EQ(entries[0].size, 2u);
  EXPECT_EQ(entries[1].storedName, "a.aaq.txt.aaq");
  EXPECT_EQ(entries[1].sourceName, "a.aaq.txt");
  EXPECT_EQ(entries[2].storedName, "b.exe.aaq");
  EXPECT_EQ(entries[2].size, 5u);
  EXPECT_EQ(entries[3].storedName, "NOTES.AAQ");
  EXPECT_EQ(entries[3].sourceName, "NOTES");
  EXPECT_EQ(entries[3].size, 0u);
}

TEST_F(QuarantineStoreTest, UnreadableFolderListsEmpty) {
#ifdef _WIN32
  GTEST_SKIP() << "folder permission bits are POSIX";
#else
  EnsureQuarantineFolder();
  writeFile(stored("a.aaq"), "1");
  ASSERT_EQ(chmod(QuarantineFolder().c_str(), 0), 0);
  testing_support::withoutRootOverrides([&] { EXPECT_TRUE(ListQuarantine().empty()); });
  ASSERT_EQ(chmod(QuarantineFolder().c_str(), 0755), 0);
#endif
}

TEST_F(QuarantineStoreTest, RestoreCopiesBackThenRemovesTheStoredFile) {
  ASSERT_TRUE(testing_support::quarantineFile(detected("x", "evil.exe", "payload")));
  const std::string destination = detected("restore", "evil.exe", "a file already there");
  ASSERT_TRUE(RestoreFromQuarantine("evil.exe.aaq", destination));
  EXPECT_EQ(readFile(destination), "payload");
  EXPECT_FALSE(exists(stored("evil.exe.aaq")));
  EXPECT_TRUE(ListQuarantine().empty());
  EXPECT_FALSE(RestoreFromQuarantine("evil.exe.aaq", destination)) << "nothing left to restore";
  EXPECT_EQ(readFile(destination), "payload");
}

TEST_F(QuarantineStoreTest, RestoreToAMissingFolderKeepsTheStoredFile) {
  ASSERT_TRUE(testing_support::quarantineFile(detected("x", "evil.exe", "payload")));
  EXPECT_FALSE(RestoreFromQuarantine("evil.exe.aaq", m_environment.root() / "no/such/folder/evil.exe"));
  EXPECT_EQ(readFile(stored("evil.exe.aaq")), "payload");
  EXPECT_EQ(storedNames(), std::vector<std::string>{"evil.exe.aaq"});
}

TEST_F(QuarantineStoreTest, RestoreOntoTheStoredFileItselfKeepsIt) {
#ifdef _WIN32
  GTEST_SKIP() << "makes a symbolic link, which needs a privilege on Windows";
#else
  ASSERT_TRUE(testing_support::quarantineFile(detected("x", "evil.exe", "payload")));
  const std::string link = m_environment.root() / "link-to-stored";
  std::filesystem::create_symlink(stored("evil.exe.aaq"), link);
  EXPECT_FALSE(RestoreFromQuarantine("evil.exe.aaq", stored("evil.exe.aaq")));
  EXPECT_FALSE(RestoreFromQuarantine("evil.exe.aaq", QuarantineFolder() + "/./evil.exe.aaq"));
  EXPECT_FALSE(RestoreFromQuarantine("evil.exe.aaq", link));
  EXPECT_EQ(readFile(stored("evil.exe.aaq")), "payload");
#endif
}

TEST_F(QuarantineStoreTest, DeleteRemovesOneStoredFileForGood) {
  ASSERT_TRUE(testing_support::quarantineFile(detected("x", "a.exe", "a")));
  ASSERT_TRUE(testing_support::quarantineFile(detected("x", "b.exe", "b")));
  EXPECT_TRUE(DeleteFromQuarantine("a.exe.aaq"));
  EXPECT_FALSE(DeleteFromQuarantine("a.exe.aaq"));
  EXPECT_EQ(storedNames(), std::vector<std::string>{"b.exe.aaq"});
}

TEST_F(QuarantineStoreTest, StoredNamesNeverLeadOutOfTheFolder) {
  EnsureQuarantineFolder();
  const std::string outside = detected("program", "keep.aaq", "outside");
  const std::string target = m_environment.root() / "target";
  for (const std::string name : {"../keep.aaq", "", ".", "..", "sub/x.aaq"}) {
    EXPECT_FALSE(DeleteFromQuarantine(name)) << name;
    EXPECT_FALSE(RestoreFromQuarantine(name, target)) << name;
  }
  EXPECT_EQ(readFile(outside), "outside");
  EXPECT_FALSE(exists(target));
}

TEST_F(QuarantineStoreTest, OddNamesRoundTrip) {
  const std::string name = "odd \xFF\xFE name [1] %s.exe";
  ASSERT_TRUE(testing_support::quarantineFile(detected("x", name, "odd")));
  ASSERT_TRUE(testing_support::quarantineFile(detected("y", name, "odd 2")));
  const std::string second = "odd \xFF\xFE name [1] %s (2).exe.aaq";
  EXPECT_EQ(storedNames(), (std::vector<std::string>{second, name + ".aaq"}));
  EXPECT_EQ(ListQuarantine().back().sourceName, name);
  const std::string destination = m_environment.root() / name;
  ASSERT_TRUE(RestoreFromQuarantine(name + ".aaq", destination));
  EXPECT_EQ(readFile(destination), "odd");
  EXPECT_EQ(readFile(stored(second)), "odd 2");
}

TEST_F(QuarantineStoreTest, LongestNamesAreShortenedToFit) {
#ifdef _WIN32
  GTEST_SKIP() << "names of 255 bytes make paths longer than the 260 bytes the Windows A functions take";
#else
  const std::string longName = std::string(251, 'n') + ".exe";  // 255 bytes: the longest name
  ASSERT_TRUE(testing_support::quarantineFile(detected("a", longName, "first")));
  ASSERT_TRUE(testing_support::quarantineFile(detected("b", longName, "second")));
  const std::vector<QuarantineEntry> entries = ListQuarantine();
  ASSERT_EQ(entries.size(), 2u);
  for (const QuarantineEntry& entry : entries) {
    EXPECT_LE(entry.storedName.size(), 255u);
    EXPECT_TRUE(entry.sourceName.ends_with(".exe")) << "the extension stays";
  }
  EXPECT_EQ(readFile(stored(std::string(247, 'n') + ".exe.aaq")), "first");
  EXPECT_EQ(readFile(stored(std::string(243, 'n') + " (2).exe.aaq")), "second");

  // A cut never splits a UTF-8 character.
  std::string accented;
  for (int i = 0; i < 125; ++i) accented += "\xC3\xA9";
  accented += ".txt";  // 254 bytes
  ASSERT_TRUE(testing_support::quarantineFile(detected("c", accented, "accented")));
  ASSERT_TRUE(testing_support::quarantineFile(detected("d", accented, "accented 2")));
  EXPECT_EQ(readFile(stored(accented.substr(0, 246) + ".txt.aaq")), "accented");
  EXPECT_EQ(readFile(stored(accented.substr(0, 242) + " (2).txt.aaq")), "accented 2");
#endif
}

}  // namespace halvik::quarantine
