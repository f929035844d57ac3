// The writer's rules as vectors: a file (or none) before, a sequence of writes, and the whole
// file byte for byte afterwards (or its absence).
#include "support/ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>

#endif

namespace halvik::profile {

using namespace std::string_literals;
using testing_support::GP;
using testing_support::ProfileFiles;
using testing_support::readFile;
using testing_support::WP;
using testing_support::Write;

namespace {

struct WriteVector {
  int row;
  std::optional<std::string> before;  // nullopt: no file
  std::vector<Write> writes;
  std::optional<std::string> after;  // nullopt: no file afterwards
  bool result = true;                // what every write returns
};

const std::optional<std::string> kNoFile;

void check(const std::vector<WriteVector>& vectors) {
  ProfileFiles files;
  for (const auto& v : vectors) {
    SCOPED_TRACE("row " + std::to_string(v.row));
    const std::string path = files.make(v.before);
    for (const auto& w : v.writes) EXPECT_EQ(WP(path, w.section, w.key, w.value), v.result);
    EXPECT_EQ(std::filesystem::exists(path), v.after.has_value());
    if (v.after) {
      EXPECT_EQ(readFile(path), *v.after);
    }
  }
}

const std::vector<Write> kRow31Adds = {{"App1", "key1", "string1"},
                                       {"App1", "key2", "string2"},
                                       {"App1", "key3", "string3"},
                                       {"App2", "key4", "string4"},
                                       {"App3", "key5", "string5"}};

std::vector<Write> row31(std::vector<Write> more) {
  std::vector<Write> all = kRow31Adds;
  all.insert(all.end(), more.begin(), more.end());
  return all;
}

TEST(ProfileWrite, CreatingAddingAndDeleting) {
  check({
      {30, kNoFile, {{"App", "key", "string"}}, "[App]\r\nkey=string\r\n"},
      {30, kNoFile, {{"App", "key", ""}}, "[App]\r\nkey=\r\n"},
      {31, kNoFile, kRow31Adds,
       "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\nkey5="
       "string5\r\n"},
      {31, kNoFile, row31({{"App1", "key2", nullptr}, {"App1", "key2", nullptr}}),
       "[App1]\r\nkey1=string1\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n"},
      {31, kNoFile,
       row31({{"App1", "key2", nullptr},
              {"App1", "key2", nullptr},
              {"App1", nullptr, "string1"},
              {"App2", nullptr, nullptr}}),
       "[App3]\r\nkey5=string5\r\n"},
      {31, kNoFile,
       row31({{"App1", "key2", nullptr},
              {"App1", "key2", nullptr},
              {"App1", nullptr, "string1"},
              {"App2", nullptr, nullptr},
              {"App3", "key5", nullptr}}),
       "[App3]\r\n"},
  });
}

TEST(ProfileWrite, PlacementOfLines) {
  check({
      {32,
       "[S]\r\nb=value\r\na=value\r\n",
       {{"S", "z", ""}, {"S", "b", ""}, {"S", "y", ""}, {"S", "a", ""}},
       "[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n"},
      {32,
       ";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
       {{"S", "z", ""}, {"S", "y", ""}, {"S", "a", ""}, {"S", "b", ""}},
       ";comment0\r\n[S]\r\n;comment1\r\nb=\r\n;comment2\r\na=\r\nz=\r\ny=\r\n"},
      {32, "[A]\r\nk=1\r\n\r\n[B]\r\nx=2\r\n", {{"A", "n", "2"}}, "[A]\r\nk=1\r\nn=2\r\n\r\n[B]\r\nx=2\r\n"},
      {33,
       "",
       {{"S", "z", ""}, {"S", ";y", ""}, {"S", "a", ""}, {"S", ";b", ""}, {"S", ";c", ""}},
       "[S]\r\nz=\r\na=\r\n;c=\r\n;b=\r\n;y=\r\n"},
      {34,
       "[SectionName]\r\nTestKey=TestValue",
       {{"SECTIONNAME", "TESTKEY", "TestValue2"}},
       "[SectionName]\r\nTestKey=TestValue2\r\n"},
      {34, "[S]\r\nK=old\r\nK=dup\r\n", {{"S", "K", "new"}}, "[S]\r\nK=new\r\nK=dup\r\n"},
      {35,
       ";comment0\r\n[S]\r\n;comment1\r\n[S2]\r\n;comment2\r\n",
       {{"S", nullptr, ""}, {"S2", nullptr, ""}},
       ";comment0\r\n;comment1\r\n;comment2\r\n"},
      {35, "[S]\r\n;key=TestValue\r\n", {{"S", ";key", nullptr}}, "[S]\r\n;key=TestValue\r\n"},
      // Our own rules where the platform's are unverified (row 0): line layout kept up to
      // "=", an entry without "=" gains one, deletes reach every duplicate.
      {0, "[S]\r\n  k =  v  \n", {{"S", "K", "new"}}, "[S]\r\n  k =  new\n"},
      {0, "[S]\r\n  K\r\n", {{"S", "k", "v"}}, "[S]\r\n  K=v\r\n"},
      {0, "[S]\r\nK=1\r\nL=2\r\nk=3\r\n[S]\r\nK=4\r\n", {{"S", "K", nullptr}}, "[S]\r\nL=2\r\n[S]\r\nK=4\r\n"},
      {0,
       "[A]\r\nx=1\r\n\r\n;kept\r\n[B]\r\ny=2\r\n[a]\r\nz=3\r\n",
       {{"A", nullptr, nullptr}},
       ";kept\r\n[B]\r\ny=2\r\n"},
  });
}

// Writing the value a key already reads as, however the line spells it, changes nothing.
TEST(ProfileWrite, SameValueLeavesTheFileAlone) {
  const std::vector<std::pair<std::string, const char*>> spellings = {
      {"[S]\r\nK=v", "v"},
      {"[S]\r\nK=v \r\n", "v"},
      {"[S]\r\nK=\"v\"\r\n", "v"},
      {"[S]\r\nK='v'\r\n", "v"},
      {"[S]\r\nK=v\0junk\r\n"s, "v"},
      {"[S]\r\n k \t= \"v\" \n", "v"},
      {"[S]\r\nK=\" v \"\r\n", " v "},
      {"[S]\r\nK=\r\n", ""},
      {"[S]\r\nK=\"\"\r\n", ""},
  };
  ProfileFiles files;
  for (const auto& [content, value] : spellings) {
    SCOPED_TRACE(content);
    const std::string path = files.make(content);
    struct stat before {
    }, after{};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    EXPECT_TRUE(WP(path, "S", "K", value));
    EXPECT_TRUE(WP(path, "S", "missing", nullptr));
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(readFile(path), content);
  }
  // A value that reads differently is written: quotes the reader keeps, an entry without "=".
  check({
      {0, "[S]\r\nK=\"v'\r\n", {{"S", "K", "v"}}, "[S]\r\nK=v\r\n"},
      {0, "[S]\r\nK=v\r\n", {{"S", "K", "\"v\""}}, "[S]\r\nK=\"\"v\"\"\r\n"},
      {0, "[S]\r\nK\r\n", {{"S", "K", ""}}, "[S]\r\nK=\r\n"},
  });
}

TEST(ProfileWrite, NamesQuotingAndRejectedInput) {
  check({
      {36, kNoFile, {{" sec ", " key ", " v "}}, "[sec]\r\nkey=\" v \"\r\n"},
      {37, "", {{"", "K", "v"}}, "[]\r\nK=v\r\n"},
      {37, "", {{"S", "", ";comment"}}, "[S]\r\n=;comment\r\n"},
      {37, kNoFile, {{nullptr, "key", "string"}}, kNoFile, false},
      {38,
       "Data \0 before \0 first \0 section"s,
       {{"section1", "key1", "string1"}},
       "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s},
      {39,
       kNoFile,
       {{"sec]\r\nkey=value", "TestKey", "d"}, {"S", "K", "a\r\nb"}, {"S", "k=x", "v"}, {"S ]", "K", "v"}},
       kNoFile,
       false},
      {39,
       "[S]\r\nK=v\r\n",
       {{"sec]\r\nkey=value", "TestKey", "d"}, {"S", "K", "a\r\nb"}, {"S", "k=x", "v"}, {"S ]", "K", "v"}},
       "[S]\r\nK=v\r\n",
       false},
  });
}

TEST(ProfileWrite, ReadBackOfQuotedAndEmptyNames) {
  ProfileFiles files;
  const std::string quoted = files.make(std::nullopt);
  ASSERT_TRUE(WP(quoted, " sec ", " key ", " v "));
  EXPECT_EQ(GP(quoted, "sec", "key", "d", 260).bytes.substr(0, 4), " v \0"s);
  const std::string comment = files.make("");
  ASSERT_TRUE(WP(comment, "S", "", ";comment"));
  const auto read = GP(comment, "S", "", nullptr, 260);
  EXPECT_EQ(read.count, 8u);
  EXPECT_EQ(read.bytes.substr(0, 9), ";comment\0"s);
}

#ifndef _WIN32
TEST(ProfileWrite, LinksToMissingFilesAndPlantedLockLinksCreateNothing) {
  ProfileFiles files;
  // A link whose target does not exist: the write fails, the target is not created.
  const std::string link = files.make(std::nullopt);
  const std::string missing = files.folder() / "missing.ini";
  ASSERT_EQ(symlink(missing.c_str(), link.c_str()), 0);
  EXPECT_FALSE(WP(link, "S", "K", "v"));
  EXPECT_FALSE(std::filesystem::exists(missing));
  // A link to an existing file: its target is written.
  const std::string target = files.make("[S]\r\nK=old\r\n");
  const std::string viaLink = files.make(std::nullopt);
  ASSERT_EQ(symlink(target.c_str(), viaLink.c_str()), 0);
  EXPECT_TRUE(WP(viaLink, "S", "K", "new"));
  EXPECT_EQ(readFile(target), "[S]\r\nK=new\r\n");
  // A link planted as the lock file: neither its target nor the profile is touched.
  const std::string profile = files.make("[S]\r\nK=v\r\n");
  const std::string victim = files.make("victim");
  const std::string dangling = files.folder() / "created-through-lock";
  ASSERT_EQ(symlink(victim.c_str(), (profile + ".lock").c_str()), 0);
  EXPECT_FALSE(WP(profile, "S", "K", "w"));
  EXPECT_EQ(readFile(victim), "victim");
  EXPECT_EQ(readFile(profile), "[S]\r\nK=v\r\n");
  ASSERT_EQ(std::filesystem::remove(profile + ".lock"), true);
  ASSERT_EQ(symlink(dangling.c_str(), (profile + ".lock").c_str()), 0);
  EXPECT_FALSE(WP(profile, "S", "K", "w"));
  EXPECT_FALSE(std::filesystem::exists(dangling));
}
#endif

TEST(ProfileWrite, SeveralKeysInOneWriteReadAsTheyWouldOneByOne) {
  using Entries = std::vector<std::pair<std::string, std::string>>;
  ProfileFiles files;
  const std::string created = files.make(std::nullopt);
  EXPECT_TRUE(writeStrings("S", Entries{{"a", "1"}, {"b", " 2 "}}, created));
  EXPECT_EQ(readFile(created), "[S]\r\na=1\r\nb=\" 2 \"\r\n");

  // An existing key changes where it stands, new keys follow the section's last entry in
  // their order, and a key given twice keeps its last value.
  const std::string path = files.make("[S]\r\nA=old\r\nkeep=k\r\n; note\r\n[T]\r\nx=y");
  EXPECT_TRUE(writeStrings("S", Entries{{"new", "n1"}, {"a", "fresh"}, {"second", "s"}, {"NEW", "n2"}}, path));
  EXPECT_EQ(readFile(path), "[S]\r\nA=fresh\r\nkeep=k\r\nnew=n2\r\nsecond=s\r\n; note\r\n[T]\r\nx=y");
  EXPECT_TRUE(writeStrings("T", Entries{{"z", "1"}}, path));
  EXPECT_EQ(readFile(path), "[S]\r\nA=fresh\r\nkeep=k\r\nnew=n2\r\nsecond=s\r\n; note\r\n[T]\r\nx=y\r\nz=1\r\n");

  // One bad key or value and nothing is written.
  const std::string before = readFile(path);
  EXPECT_FALSE(writeStrings("S", Entries{{"ok", "1"}, {"bad=key", "2"}}, path));
  EXPECT_FALSE(writeStrings("S", Entries{{"ok", "1"}, {"k", "line\nbreak"}}, path));
  EXPECT_EQ(readFile(path), before);
}

TEST(ProfileWrite, GrowingInPlaceGivesTheBytesARewriteWould) {
  using Entries = std::vector<std::pair<std::string, std::string>>;
  ProfileFiles files;
  const std::string path = files.make("[S]\r\na=1");
  [[maybe_unused]] const auto before = platform::fileIdentity(path);
  EXPECT_TRUE(writeStrings("S", Entries{{"b", "2"}}, path, platform::Growth::Append));
  EXPECT_EQ(readFile(path), "[S]\r\na=1\r\nb=2\r\n");
#ifndef _WIN32  // Windows rewrites the file
  EXPECT_EQ(platform::fileIdentity(path)->inode, before->inode) << "new lines at the end are appended in place";
#endif
  EXPECT_TRUE(writeStrings("S", Entries{{"a", "changed"}, {"c", "3"}}, path, platform::Growth::Append));
  EXPECT_EQ(readFile(path), "[S]\r\na=changed\r\nb=2\r\nc=3\r\n");
}

TEST(ProfileWrite, MissingFolderCreatesNothing) {
  ProfileFiles files;
  const std::string path = files.folder() / "missing/file.ini";
  EXPECT_FALSE(WP(path, "K", "k", "v"));
  EXPECT_FALSE(std::filesystem::exists(files.folder() / "missing"));
}

}  // namespace

}  // namespace halvik::profile
