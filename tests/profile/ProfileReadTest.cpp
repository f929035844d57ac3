// The reader's rules as table-driven vectors: parsing and lookup, defaults and buffer
// sizes, lists and their truncation. Each row names the file, the call, the exact bytes
// expected at the start of the buffer (NULs included) and the count returned.
#include "support/ProfileTestSupport.h"

#include <gtest/gtest.h>

namespace halvik::profile {

using namespace std::string_literals;
using namespace std::string_view_literals;
using testing_support::BufferResult;
using testing_support::F1;
using testing_support::F1cr;
using testing_support::F2;
using testing_support::F3;
using testing_support::GP;
using testing_support::GS;
using testing_support::kNoFile;
using testing_support::ProfileFiles;

namespace {

enum class Call { Value, Section };

struct ReadVector {
  int row;
  std::optional<std::string> file;
  const char* section;
  const char* key;
  const char* defaultText;
  std::size_t size;
  std::string expected;  // bytes at the start of the buffer
  std::uint32_t count;
  Call call = Call::Value;
};

void check(const std::vector<ReadVector>& vectors) {
  ProfileFiles files;
  for (const auto& v : vectors) {
    SCOPED_TRACE("row " + std::to_string(v.row) + " section=" + (v.section ? v.section : "NULL") +
                 " key=" + (v.key ? v.key : "NULL") + " size=" + std::to_string(v.size));
    const std::string path = files.make(v.file);
    const BufferResult result =
        v.call == Call::Value ? GP(path, v.section, v.key, v.defaultText, v.size) : GS(path, v.section, v.size);
    EXPECT_EQ(result.count, v.count);
    EXPECT_EQ(result.bytes.substr(0, v.expected.size()), v.expected);
    EXPECT_TRUE(result.guardIntact);
  }
}

TEST(ProfileRead, ParsingAndLookup) {
  check({
      {1, F1, "section1", "name1", "default", 260, "val1\0"s, 4},
      {1, F1cr, "section1", "name1", "default", 260, "val1\0"s, 4},
      {2, "[Test]\nProfileInt=123\n", "Test", "ProfileInt", "", 260, "123\0"s, 3},
      {3, F1, "section1", "NaMe1", "default", 260, "val1\0"s, 4},
      {3, F1, "SECTION1", "name1", "default", 260, "val1\0"s, 4},
      {4, F1, "section1", "name2", "default", 260, "val2\0"s, 4},
      {4, "[S]\r\nK=  \"   v   \"  \r\n", "S", "K", nullptr, 260, "   v   \0"s, 7},
      {5, "[S]\r\nA='\"v\"'\r\nB=\"v'\r\nC='\"v'\"\r\n", "S", "A", nullptr, 260, "\"v\"\0"s, 3},
      {5, "[S]\r\nA='\"v\"'\r\nB=\"v'\r\nC='\"v'\"\r\n", "S", "B", nullptr, 260, "\"v'\0"s, 3},
      {5, "[S]\r\nA='\"v\"'\r\nB=\"v'\r\nC='\"v'\"\r\n", "S", "C", nullptr, 260, "'\"v'\"\0"s, 5},
      {6, "\n [ \tx\v ]\r\n \tK\v = \t v \v\r\n", "x", "K", "d", 260, "v\0"s, 1},
      {7, "[S]\r\nK=v\r\n", "  S ", "  K ", "d", 260, "v\0"s, 1},
      {7, "[S]\r\nK=v\r\n", "\tS", "K", "d", 260, "d\0"s, 1},
      {7, "[S]\r\nK=v\r\n", "S", "K\t", "d", 260, "d\0"s, 1},
      {8, "[S]\r\nK=first\r\nK=second\r\n", "S", "K", "d", 260, "first\0"s, 5},
      {8, "[S]\r\n[S]\r\nK=v\r\n", "S", "K", "d", 260, "d\0"s, 1},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", ";K", "d", 260, "d\0"s, 1},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", "K", "d", 260, "d\0"s, 1},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", "L", "d", 260, "d\0"s, 1},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", "M", nullptr, 260, ";nocomment\0"s, 10},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", "#H", nullptr, 260, "x\0"s, 1},
      {10, "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n", "", "key", "", 100,
       "val_e_section\0"s, 13},
      {10, "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n", "s", "", "", 100,
       "val_no_key\0"s, 10},
      {11, "[S]K=v\r\n", "S", "K", "d", 260, "d\0"s, 1},
      {11, "[sec]whoops]\r\nK=v\r\n", "sec", "K", "d", 260, "v\0"s, 1},
      {11, "[sec]whoops]\r\nK=v\r\n", "sec]whoops", "K", "d", 260, "d\0"s, 1},
      {11, "S]\r\nK=v\r\n", "S", "K", "d", 260, "d\0"s, 1},
      {12, "[S   \r\nK=v\r\n", "S", "K", "d", 260, "v\0"s, 1},
      {13, "[sec]\r\nkey=value]\r\n", "sec", "key", nullptr, 260, "value]\0"s, 6},
      {13, "[S]\r\nK = a = b\r\n", "S", "K", nullptr, 260, "a = b\0"s, 5},
      {14, F2, "section1", "name3", "d", 260, "d\0"s, 1},
      {14, F2, "section1", "name2", "d", 260, "\0"s, 0},
      {15, "\xEF\xBB\xBF[S]\r\nK=v\r\n[T]\r\nK=w\r\n", "T", "K", "d", 260, "w\0"s, 1},
      {15, "\xEF\xBB\xBF[S]\r\nK=v\r\n[T]\r\nK=w\r\n", "S", "K", "d", 260, "v\0"s, 1},
      {15, "\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0v\0\r\0\n\0"s, "S", "K", "d", 260, "v\0"s, 1},
  });
}

TEST(ProfileRead, DefaultsAndBuffers) {
  check({
      {16, F1, "section1", "nokey", "default  ", 260, "default\0"s, 7},
      {16, F1, "section1", "nokey", "   default   ", 260, "   default\0"s, 10},
      {16, F1, "section1", "nokey", "\tdefault\t", 260, "\tdefault\t\0"s, 9},
      {17, F1, "section1", "nokey", nullptr, 260, "\0"s, 0},
      {17, kNoFile, "section1", "name1", "default", 260, "default\0"s, 7},
      {18, F1, "section1", "nokey", "   ", 260, "\0"s, 0},
      {18, F1, "section1", "nokey", "\"q\"", 260, "\"q\"\0"s, 3},
      {19, F1, "section1", "name1", "default", 4, "val\0"s, 3},
      {19, F1, "section1", "name1", "default", 5, "val1\0"s, 4},
      {19, F1, "section1", "nokey", "default", 4, "def\0"s, 3},
      {20, F1, "section1", "name4", "default", 1, "\0"s, 0},
      {20, F1, "section1", "name1", "default", 0, ""s, 0},
      {21, "[S]\r\nK=\"ABC\"\r\nE=\"\"\r\n", "S", "K", "d", 4, "ABC\0"s, 3},
      {21, "[S]\r\nK=\"ABC\"\r\nE=\"\"\r\n", "S", "K", "d", 3, "AB\0"s, 2},
      {21, "[S]\r\nK=\"ABC\"\r\nE=\"\"\r\n", "S", "E", "d", 1, "\0"s, 0},
  });
}

TEST(ProfileRead, ListsAndTruncation) {
  check({
      {22, F1, nullptr, "name1", "default", 260, "section1\0section2\0\0"s, 18},
      {22, F1, nullptr, "name1", "default", 16, "section1\0secti\0\0"s, 14},
      {23, F1, "section1", nullptr, "default", 260, "name1\0name2\0name4\0\0"s, 18},
      {23, F1, "section1", nullptr, "default", 16, "name1\0name2\0na\0\0"s, 14},
      {24, F3, nullptr, "x", "", 29, "section1\0section2\0section3\0\0"s, 27},
      {24, F3, nullptr, "x", "", 28, "section1\0section2\0section3\0\0"s, 26},
      {24, F3, nullptr, "x", "", 27, "section1\0section2\0section\0\0"s, 25},
      {25, F1, "section1", nullptr, "", 2, "\0\0"s, 0},
      {25, F1, "section1", nullptr, "", 1, "\0"s, 0},
      {25, kNoFile, nullptr, nullptr, nullptr, 10, "\0"s, 0},
      {26, "[A]\r\n[B]\r\n[A]\r\n", nullptr, "x", "", 260, "A\0B\0A\0\0"s, 6},
      {26, "[S]\r\nK=1\r\nL=2\r\nK=3", "S", nullptr, "", 260, "K\0L\0K\0\0"s, 6},
      {27, "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n\0"s, "s", nullptr, "", 100,
       "name1\0name2\0name4\0\0"s, 18},
      {27, "[S]\r\n;K=v\r\nL=w\r\n", "S", nullptr, "", 100, "L\0\0"s, 2},
      {28, F1, "nosuch", nullptr, "", 260, "\0\0"s, 0},
      {28, F1, "nosuch", nullptr, "dflt", 260, "dflt\0\0"s, 4},
      {29, F2, "section1", nullptr, nullptr, 100, "name1=val1\0name2=\0name3\0name4=val4\0\0"s, 35, Call::Section},
      {29, F2, "section2", nullptr, nullptr, 100, "\0"s, 0, Call::Section},
      {29, F2, "section3", nullptr, nullptr, 100, "=val5\0\0"s, 6, Call::Section},
      {29, F2, "section1", nullptr, nullptr, 24, "name1=val1\0name2=\0name\0\0"s, 22, Call::Section},
  });
}

TEST(ProfileRead, DegenerateCalls) {
  ProfileFiles files;
  const std::string path = files.make(F1);
  const BufferResult empty = GP(path, "section1", "name1", "default", 0);
  EXPECT_EQ(empty.count, 0u);
  EXPECT_TRUE(empty.guardIntact);
  EXPECT_EQ(profile::getString("section1", "name1", "default", std::span<char>(), path), 0u);
  const BufferResult noSection = GS(path, nullptr, 100);
  EXPECT_EQ(noSection.count, 0u);
  EXPECT_EQ(noSection.bytes[0], '\0');
  // Names are C strings: a NUL ends them.
  char buffer[16];
  const auto count = profile::getString("section1\0ignored"sv, "name1\0x"sv, "d"sv, buffer, path);
  EXPECT_EQ(std::string(buffer, count + 1), "val1\0"s);
  EXPECT_EQ(profile::getString("s"sv, "k"sv, "dflt\0more"sv, buffer, path), 4u);
}

TEST(ProfileRead, LookupGivesWholeValueOrNothing) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=\"" + std::string(70000, 'x') + "\"\r\nN\r\nE=\r\n");
  EXPECT_EQ(profile::lookup("s", "k", path), std::string(70000, 'x'));
  EXPECT_EQ(profile::lookup(" S ", "E", path), "");
  EXPECT_EQ(profile::lookup("S", "N", path), std::nullopt);
  EXPECT_EQ(profile::lookup("S", "missing", path), std::nullopt);
  EXPECT_EQ(profile::lookup("T", "K", path), std::nullopt);
  EXPECT_EQ(profile::lookup("S", "K", files.make(std::nullopt)), std::nullopt);
}

// Names fold ASCII letters only, whatever their length: a name that runs past eight bytes is
// found in any case, and bytes one case bit away from a letter ("@" and "`", "[" and "{",
// accented letters) stay distinct names. Each section keeps its own first entry of a name.
TEST(ProfileRead, NamesFoldAsciiLettersOnly) {
  ProfileFiles files;
  const std::string path = files.make(
      "[Scan Files Long]\r\nSpyWare123456.Exe=a\r\nSPYWARE123456.EXE=b\r\nkey@=c\r\n\xC9t\xC9=d\r\n"
      "[Other]\r\nspyware123456.EXE=e\r\nA[B=g\r\n[SCAN FILES long]\r\nkey`=f\r\n");
  EXPECT_EQ(profile::lookup("scan files LONG", "spyware123456.eXE", path), "a");
  EXPECT_EQ(profile::lookup("other", "SpyWare123456.exe", path), "e");
  EXPECT_EQ(profile::lookup("Scan Files Long", "KEY@", path), "c");
  EXPECT_EQ(profile::lookup("Scan Files Long", "key`", path), std::nullopt);
  EXPECT_EQ(profile::lookup("Scan Files Long", "\xC9t\xC9", path), "d");
  EXPECT_EQ(profile::lookup("Scan Files Long", "\xE9t\xE9", path), std::nullopt);
  EXPECT_EQ(profile::lookup("Scan Files Long", "\xC9T\xC9", path), "d");
  EXPECT_EQ(profile::lookup("Other", "a[b", path), "g");
  EXPECT_EQ(profile::lookup("Other", "a{b", path), std::nullopt);
}

}  // namespace

}  // namespace halvik::profile
