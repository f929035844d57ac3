// Our profile reader and writer against the system's own (GetPrivateProfileStringA,
// GetPrivateProfileSectionA, WritePrivateProfileStringA): the same files and the same calls
// must give the same bytes, counts and files. A vector is skipped where our rule deliberately
// differs (it would lose or corrupt data, or the system's behaviour is unsound), and, under
// Wine, where Wine is known to differ from Windows; each skip names its reason.
#include "support/ProfileTestSupport.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <vector>

namespace halvik::profile {

using namespace std::string_literals;
using testing_support::BufferResult;
using testing_support::F1;
using testing_support::F1cr;
using testing_support::F2;
using testing_support::F3;
using testing_support::kNoFile;
using testing_support::ProfileFiles;
using testing_support::readFile;
using testing_support::withBuffer;
using testing_support::Write;

namespace {

// Where a vector is not compared, and why.
struct Skip {
  const char* always = nullptr;  // our rule differs on purpose
  const char* wine = nullptr;    // Wine differs from Windows, whose rule we follow
};

// The reason to skip `skip` on this system, or nullptr to compare.
const char* reasonToSkip(const Skip& skip) {
  if (skip.always) return skip.always;
  if (skip.wine && testing_support::runningUnderWine()) return skip.wine;
  return nullptr;
}

enum class Call { Value, Section };

struct ReadVector {
  int row;
  std::optional<std::string> file;
  const char* section;
  const char* key;
  const char* defaultText;
  std::size_t size;
  Call call = Call::Value;
  Skip skip = {};
};

BufferResult ours(const ReadVector& v, const std::string& path) {
  if (v.call == Call::Section) return testing_support::GS(path, v.section, v.size);
  return testing_support::GP(path, v.section, v.key, v.defaultText, v.size);
}

BufferResult system(const ReadVector& v, const std::string& path) {
  return withBuffer(v.size, [&](std::span<char> buffer) -> std::uint32_t {
    const DWORD size = static_cast<DWORD>(buffer.size());
    if (v.call == Call::Section) return GetPrivateProfileSectionA(v.section, buffer.data(), size, path.c_str());
    return GetPrivateProfileStringA(v.section, v.key, v.defaultText, buffer.data(), size, path.c_str());
  });
}

// The bytes both must agree on: the result and its NUL, or both NULs of a list. An empty list
// is one NUL: what follows it is left as it was by some systems and written by others.
std::size_t comparedLength(const ReadVector& v, const BufferResult& result) {
  const bool list = v.call == Call::Section || !v.section || !v.key;
  const std::size_t wanted = result.count + (list && result.count > 0 ? 2 : 1);
  return std::min(wanted, v.size);
}

std::vector<std::string> skipped;  // "row N: reason", printed by the last test
int compared = 0;

void compare(const std::vector<ReadVector>& vectors) {
  ProfileFiles files;
  for (const auto& v : vectors) {
    SCOPED_TRACE("row " + std::to_string(v.row) + " section=" + (v.section ? v.section : "NULL") +
                 " key=" + (v.key ? v.key : "NULL") + " size=" + std::to_string(v.size));
    if (const char* reason = reasonToSkip(v.skip)) {
      skipped.push_back("row " + std::to_string(v.row) + ": " + reason);
      continue;
    }
    ++compared;
    const BufferResult mine = ours(v, files.make(v.file));
    const BufferResult theirs = system(v, files.make(v.file));
    EXPECT_EQ(mine.count, theirs.count);
    const std::size_t length = comparedLength(v, theirs);
    EXPECT_EQ(mine.bytes.substr(0, length), theirs.bytes.substr(0, length));
    EXPECT_TRUE(mine.guardIntact);
  }
}

const Skip kWineTrimsTabs{nullptr, "Wine trims tabs from the caller's names; Windows only spaces"};
const Skip kWineComments{nullptr, "Wine matches a key starting with ';' to a comment line"};
const Skip kWineBrackets{nullptr, "Wine ends a section name at the last ']' and drops a header without one"};
const Skip kWineNamelessSection{nullptr, "Wine puts entries before the first header in a section named \"\""};
const Skip kWineCutList{nullptr, "Wine leaves the last byte of a cut list unwritten; Windows ends it with two NULs"};

TEST(ProfileDifferential, ParsingAndLookup) {
  compare({
      {1, F1, "section1", "name1", "default", 260},
      {1, F1cr, "section1", "name1", "default", 260},
      {2, "[Test]\nProfileInt=123\n", "Test", "ProfileInt", "", 260},
      {3, F1, "section1", "NaMe1", "default", 260},
      {3, F1, "SECTION1", "name1", "default", 260},
      {4, F1, "section1", "name2", "default", 260},
      {4, "[S]\r\nK=  \"   v   \"  \r\n", "S", "K", nullptr, 260},
      {5, "[S]\r\nA='\"v\"'\r\nB=\"v'\r\nC='\"v'\"\r\n", "S", "A", nullptr, 260},
      {5, "[S]\r\nA='\"v\"'\r\nB=\"v'\r\nC='\"v'\"\r\n", "S", "B", nullptr, 260},
      {5, "[S]\r\nA='\"v\"'\r\nB=\"v'\r\nC='\"v'\"\r\n", "S", "C", nullptr, 260},
      {6, "\n [ \tx\v ]\r\n \tK\v = \t v \v\r\n", "x", "K", "d", 260},
      {7, "[S]\r\nK=v\r\n", "  S ", "  K ", "d", 260},
      {7, "[S]\r\nK=v\r\n", "\tS", "K", "d", 260, Call::Value, kWineTrimsTabs},
      {7, "[S]\r\nK=v\r\n", "S", "K\t", "d", 260, Call::Value, kWineTrimsTabs},
      {8, "[S]\r\nK=first\r\nK=second\r\n", "S", "K", "d", 260},
      {8, "[S]\r\n[S]\r\nK=v\r\n", "S", "K", "d", 260},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", ";K", "d", 260, Call::Value, kWineComments},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", "K", "d", 260},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", "L", "d", 260},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", "M", nullptr, 260},
      {9, "[S]\r\n;K=v\r\n \t;L=w\r\nM=;nocomment\r\n#H=x\r\n", "S", "#H", nullptr, 260},
      {10, "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n", "", "key", "", 100,
       Call::Value, kWineNamelessSection},
      {10, "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n", "s", "", "", 100},
      {11, "[S]K=v\r\n", "S", "K", "d", 260},
      {11, "[sec]whoops]\r\nK=v\r\n", "sec", "K", "d", 260, Call::Value, kWineBrackets},
      {11, "[sec]whoops]\r\nK=v\r\n", "sec]whoops", "K", "d", 260, Call::Value, kWineBrackets},
      {11, "S]\r\nK=v\r\n", "S", "K", "d", 260},
      {12, "[S   \r\nK=v\r\n", "S", "K", "d", 260, Call::Value, kWineBrackets},
      {13, "[sec]\r\nkey=value]\r\n", "sec", "key", nullptr, 260},
      {13, "[S]\r\nK = a = b\r\n", "S", "K", nullptr, 260},
      {14, F2, "section1", "name3", "d", 260},
      {14, F2, "section1", "name2", "d", 260},
      {15, "\xEF\xBB\xBF[S]\r\nK=v\r\n[T]\r\nK=w\r\n", "T", "K", "d", 260},
      {15,
       "\xEF\xBB\xBF[S]\r\nK=v\r\n[T]\r\nK=w\r\n",
       "S",
       "K",
       "d",
       260,
       Call::Value,
       {"ours skips a UTF-8 byte order mark; the system breaks the first line"}},
      {15, "\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0v\0\r\0\n\0"s, "S", "K", "d", 260},
  });
}

TEST(ProfileDifferential, DefaultsAndBufferSizes) {
  const Skip quotesFirst{"ours removes the quotes before it truncates; Wine drops one more byte"};
  compare({
      {16, F1, "section1", "nokey", "default  ", 260},
      {16, F1, "section1", "nokey", "   default   ", 260},
      {16, F1, "section1", "nokey", "\tdefault\t", 260},
      {17, F1, "section1", "nokey", nullptr, 260},
      {17, kNoFile, "section1", "name1", "default", 260},
      {18, F1, "section1", "nokey", "   ", 260, Call::Value, {nullptr, "Wine keeps one space of a blank default"}},
      {18, F1, "section1", "nokey", "\"q\"", 260, Call::Value, {nullptr, "Wine strips quotes from the default"}},
      {19, F1, "section1", "name1", "default", 4},
      {19, F1, "section1", "name1", "default", 5},
      {19, F1, "section1", "nokey", "default", 4},
      {20, F1, "section1", "name4", "default", 1},
      {20, F1, "section1", "name1", "default", 0},
      {21, "[S]\r\nK=\"ABC\"\r\nE=\"\"\r\n", "S", "K", "d", 4, Call::Value, quotesFirst},
      {21, "[S]\r\nK=\"ABC\"\r\nE=\"\"\r\n", "S", "K", "d", 3, Call::Value, quotesFirst},
      {21,
       "[S]\r\nK=\"ABC\"\r\nE=\"\"\r\n",
       "S",
       "E",
       "d",
       1,
       Call::Value,
       {"Wine writes before the buffer here; ours never does"}},
  });
}

TEST(ProfileDifferential, ListsAndTheirTruncation) {
  compare({
      {22, F1, nullptr, "name1", "default", 260},
      {22, F1, nullptr, "name1", "default", 16, Call::Value, kWineCutList},
      {23, F1, "section1", nullptr, "default", 260},
      {23, F1, "section1", nullptr, "default", 16, Call::Value, kWineCutList},
      {24, F3, nullptr, "x", "", 29},
      {24, F3, nullptr, "x", "", 28, Call::Value, kWineCutList},
      {24, F3, nullptr, "x", "", 27, Call::Value, kWineCutList},
      {25, F1, "section1", nullptr, "", 2, Call::Value, kWineCutList},
      {25, F1, "section1", nullptr, "", 1},
      {26, "[A]\r\n[B]\r\n[A]\r\n", nullptr, "x", "", 260},
      {26, "[S]\r\nK=1\r\nL=2\r\nK=3", "S", nullptr, "", 260},
      {27, "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n\0"s, "s", nullptr, "", 100},
      {27, "[S]\r\n;K=v\r\nL=w\r\n", "S", nullptr, "", 100, Call::Value, kWineComments},
      {28, F1, "nosuch", nullptr, "", 260},
      {28,
       F1,
       "nosuch",
       nullptr,
       "dflt",
       260,
       Call::Value,
       {"ours ends the copied default with a second NUL, as every list"}},
      {29, F2, "section1", nullptr, nullptr, 100, Call::Section},
      {29, F2, "section2", nullptr, nullptr, 100, Call::Section},
      {29, F2, "section3", nullptr, nullptr, 100, Call::Section},
      {29, F2, "section1", nullptr, nullptr, 24, Call::Section},
  });
}

struct WriteVector {
  int row;
  std::optional<std::string> before;
  std::vector<Write> writes;
  Skip skip = {};
};

// Every write's result, then the file's bytes (or its absence) afterwards.
std::vector<std::string> outcome(const WriteVector& v, const std::string& path, bool system) {
  std::vector<std::string> results;
  for (const auto& w : v.writes) {
    const bool ok = system ? WritePrivateProfileStringA(w.section, w.key, w.value, path.c_str()) != FALSE
                           : testing_support::WP(path, w.section, w.key, w.value);
    results.push_back(ok ? "TRUE" : "FALSE");
  }
  results.push_back(std::filesystem::exists(path) ? readFile(path) : "(no file)");
  return results;
}

void compare(const std::vector<WriteVector>& vectors) {
  ProfileFiles files;
  for (const auto& v : vectors) {
    SCOPED_TRACE("row " + std::to_string(v.row));
    if (const char* reason = reasonToSkip(v.skip)) {
      skipped.push_back("row " + std::to_string(v.row) + ": " + reason);
      continue;
    }
    ++compared;
    EXPECT_EQ(outcome(v, files.make(v.before), false), outcome(v, files.make(v.before), true));
  }
}

TEST(ProfileDifferential, Writes) {
  const std::vector<Write> adds = {{"App1", "key1", "string1"},
                                   {"App1", "key2", "string2"},
                                   {"App1", "key3", "string3"},
                                   {"App2", "key4", "string4"},
                                   {"App3", "key5", "string5"}};
  std::vector<Write> all = adds;
  all.insert(all.end(), {{"App1", "key2", nullptr},
                         {"App1", "key2", nullptr},
                         {"App1", nullptr, "string1"},
                         {"App2", nullptr, nullptr},
                         {"App3", "key5", nullptr}});
  const Skip wineRebuilds{nullptr, "Wine rebuilds the whole file and places new keys after trailing comments"};
  compare({
      {30, kNoFile, {{"App", "key", "string"}}},
      {30, kNoFile, {{"App", "key", ""}}},
      {31, kNoFile, adds},
      {31, kNoFile, all},
      {32, "[S]\r\nb=value\r\na=value\r\n", {{"S", "z", ""}, {"S", "b", ""}, {"S", "y", ""}, {"S", "a", ""}}},
      {32,
       ";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
       {{"S", "z", ""}, {"S", "y", ""}, {"S", "a", ""}, {"S", "b", ""}},
       wineRebuilds},
      {32,
       "[A]\r\nk=1\r\n\r\n[B]\r\nx=2\r\n",
       {{"A", "n", "2"}},
       {"where blank lines go is our own choice; Windows is unverified"}},
      {33, "", {{"S", "z", ""}, {"S", ";y", ""}, {"S", "a", ""}, {"S", ";b", ""}, {"S", ";c", ""}}, wineRebuilds},
      {34, "[SectionName]\r\nTestKey=TestValue", {{"SECTIONNAME", "TESTKEY", "TestValue2"}}},
      {34, "[S]\r\nK=old\r\nK=dup\r\n", {{"S", "K", "new"}}},
      {35,
       ";comment0\r\n[S]\r\n;comment1\r\n[S2]\r\n;comment2\r\n",
       {{"S", nullptr, ""}, {"S2", nullptr, ""}},
       {nullptr, "Wine deletes the comments of a deleted section"}},
      {35, "[S]\r\n;key=TestValue\r\n", {{"S", ";key", nullptr}}, kWineComments},
      {36,
       kNoFile,
       {{" sec ", " key ", " v "}},
       {"ours quotes a value that reading would alter; the system writes it as it is"}},
      {37, "", {{"", "K", "v"}}, kWineNamelessSection},
      {37, "", {{"S", "", ";comment"}}},
      {37, kNoFile, {{nullptr, "key", "string"}}},
      {38,
       "Data \0 before \0 first \0 section"s,
       {{"section1", "key1", "string1"}},
       {nullptr, "Wine loses the bytes before the first section"}},
      {39,
       kNoFile,
       {{"sec]\r\nkey=value", "TestKey", "d"}, {"S", "K", "a\r\nb"}},
       {"ours refuses names and values that would add structure to the file"}},
  });
}

TEST(ProfileDifferential, WriteIntoAMissingFolder) {
  ProfileFiles files;
  const std::string mine = files.folder() / "missing1/file.ini";
  const std::string theirs = files.folder() / "missing2/file.ini";
  EXPECT_EQ(testing_support::WP(mine, "K", "k", "v"),
            WritePrivateProfileStringA("K", "k", "v", theirs.c_str()) != FALSE);
  EXPECT_EQ(std::filesystem::exists(mine), std::filesystem::exists(theirs));
}

// Runs last in the suite: the vectors left out on this system, with their reasons.
TEST(ProfileDifferential, ZListsTheSkippedVectors) {
  for (const auto& line : skipped) std::cout << "skipped " << line << "\n";
  std::cout << compared << " vectors compared, " << skipped.size() << " skipped" << std::endl;
}

}  // namespace

}  // namespace halvik::profile
