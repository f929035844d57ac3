// Files and names that are awkward or broken: empty, binary, unterminated, CR-only and mixed
// line ends, byte order marks, NULs, very long lines, things that are not files, bare names.
// None may crash, hang or lose what the file held.
#include "support/ProfileTestSupport.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#endif

namespace halvik::profile {

using namespace std::string_literals;
using testing_support::GP;
using testing_support::GS;
using testing_support::ProfileFiles;
using testing_support::readFile;
using testing_support::WP;
using testing_support::writeFile;

namespace {

std::string value(const std::string& file, const char* section, const char* key) {
  const auto result = GP(file, section, key, "<default>", 4096);
  return result.bytes.substr(0, result.count);
}

std::string utf16le(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (const char c : ascii) out += std::string{c, '\0'};
  return out;
}

std::string utf16be(const std::string& ascii) {
  std::string out = "\xFE\xFF";
  for (const char c : ascii) out += std::string{'\0', c};
  return out;
}

TEST(ProfileInput, EmptyFile) {
  ProfileFiles files;
  const std::string path = files.make("");
  EXPECT_EQ(value(path, "S", "K"), "<default>");
  EXPECT_EQ(GP(path, nullptr, nullptr, nullptr, 10).bytes[0], '\0');
  ASSERT_TRUE(WP(path, "S", "K", "v"));
  EXPECT_EQ(readFile(path), "[S]\r\nK=v\r\n");
}

TEST(ProfileInput, BinaryContentIsKeptAndNeverCrashes) {
  ProfileFiles files;
  std::mt19937 random(7);
  std::string binary(200000, '\0');
  for (char& c : binary) c = static_cast<char>(random());
  const std::string path = files.make(binary);
  for (const char* section : {"S", "", "\xFF"}) {
    GP(path, section, "K", "d", 300);
    GP(path, section, nullptr, "d", 300);
    GS(path, section, 300);
  }
  GP(path, nullptr, nullptr, nullptr, 300);
  ASSERT_TRUE(WP(path, "NewSection", "K", "v"));
  const std::string after = readFile(path);
  EXPECT_EQ(after.substr(0, binary.size()), binary);
  EXPECT_EQ(value(path, "NewSection", "K"), "v");
}

TEST(ProfileInput, LineEnds) {
  ProfileFiles files;
  const std::string unterminated = files.make("[S]\r\nK=v");
  EXPECT_EQ(value(unterminated, "S", "K"), "v");
  ASSERT_TRUE(WP(unterminated, "S", "L", "w"));
  EXPECT_EQ(readFile(unterminated), "[S]\r\nK=v\r\nL=w\r\n");

  const std::string mixed = files.make("[S]\rA=1\nB=2\r\nC=3\r\r\nD=4");
  EXPECT_EQ(value(mixed, "S", "A"), "1");
  EXPECT_EQ(value(mixed, "S", "C"), "3");
  EXPECT_EQ(value(mixed, "S", "D"), "4");
  ASSERT_TRUE(WP(mixed, "S", "B", "x"));
  EXPECT_EQ(readFile(mixed), "[S]\rA=1\nB=x\r\nC=3\r\r\nD=4");

  const std::string dosEnd = files.make("[S]\r\nK=v\x1a");
  EXPECT_EQ(value(dosEnd, "S", "K"), "v");
  ASSERT_TRUE(WP(dosEnd, "S", "L", "w"));
  EXPECT_EQ(readFile(dosEnd), "[S]\r\nK=v\r\nL=w\r\n\x1a");
}

TEST(ProfileInput, Utf8MarkIsSkippedAndKept) {
  ProfileFiles files;
  const std::string path = files.make("\xEF\xBB\xBF[S]\r\nK=v\r\n");
  EXPECT_EQ(value(path, "S", "K"), "v");
  ASSERT_TRUE(WP(path, "S", "K", "w"));
  ASSERT_TRUE(WP(path, "T", "K", "x"));
  EXPECT_EQ(readFile(path), "\xEF\xBB\xBF[S]\r\nK=w\r\n[T]\r\nK=x\r\n");
}

TEST(ProfileInput, Utf16FilesAreReadAndWrittenInTheirEncoding) {
  ProfileFiles files;
  const std::string little = files.make(utf16le("[S]\r\nK=v\r\n"));
  EXPECT_EQ(value(little, "S", "K"), "v");
  ASSERT_TRUE(WP(little, "S", "K", "w"));
  ASSERT_TRUE(WP(little, "S", "E", "\xC3\xA9"));  // U+00E9 arrives as UTF-8
  EXPECT_EQ(readFile(little), utf16le("[S]\r\nK=w\r\nE=") + "\xE9\0"s + utf16le("\r\n").substr(2));
  EXPECT_EQ(value(little, "S", "E"), "\xC3\xA9");

  const std::string big = files.make(utf16be("[S]\r\nK=v\r\n"));
  EXPECT_EQ(value(big, "S", "K"), "v");
  ASSERT_TRUE(WP(big, "T", "K", "\xF0\x9F\x98\x80"));  // U+1F600, a surrogate pair
  EXPECT_EQ(readFile(big), utf16be("[S]\r\nK=v\r\n[T]\r\nK=") + "\xD8\x3D\xDE\x00"s + utf16be("\r\n").substr(2));
  EXPECT_EQ(value(big, "T", "K"), "\xF0\x9F\x98\x80");

  // Text that UTF-16 cannot hold is refused, and the file stays as it was.
  const std::string before = readFile(little);
  EXPECT_FALSE(WP(little, "S", "K", "\xFF\xFE"));
  EXPECT_EQ(readFile(little), before);
}

TEST(ProfileInput, MalformedUtf16IsReadButNeverRewritten) {
  ProfileFiles files;
  const std::string lone = utf16le("[S]\r\nK=v\r\nL=") + "\x00\xD8"s + utf16le("\r\n").substr(2);
  const std::string odd = utf16le("[S]\r\nK=v\r\n") + "x";
  for (const std::string& content : {lone, odd}) {
    const std::string path = files.make(content);
    EXPECT_EQ(value(path, "S", "K"), "v");
    EXPECT_FALSE(WP(path, "S", "K", "w"));
    EXPECT_EQ(readFile(path), content);
  }
}

TEST(ProfileInput, NulBytes) {
  ProfileFiles files;
  const std::string path = files.make("\0junk\r\n[S]\r\nK=ab\0cd\r\n\0[T]\r\nL=1\r\n"s);
  EXPECT_EQ(value(path, "S", "K"), "ab");
  EXPECT_EQ(value(path, "S", "L"), "1");  // a line starting with NUL is blank, not a header
  ASSERT_TRUE(WP(path, "S", "M", "2"));
  EXPECT_EQ(readFile(path), "\0junk\r\n[S]\r\nK=ab\0cd\r\n\0[T]\r\nL=1\r\nM=2\r\n"s);
}

TEST(ProfileInput, TenMegabyteLines) {
  ProfileFiles files;
  const std::string big(10 << 20, 'x');
  const std::string path = files.make("[S]\r\n" + big + "=key\r\nK=" + big + "\r\n");
  EXPECT_EQ(profile::lookup("S", "K", path), big);
  EXPECT_EQ(profile::lookup("S", big, path), "key");
  EXPECT_EQ(value(path, "S", "K"), big.substr(0, 4095));
  const std::string written = files.make(std::nullopt);
  ASSERT_TRUE(WP(written, "S", "K", big.c_str()));
  EXPECT_EQ(profile::lookup("S", "K", written), big);
}

TEST(ProfileInput, ThingsThatAreNotFiles) {
  ProfileFiles files;
  const std::string folder = files.folder() / "folder.ini";
  std::filesystem::create_directory(folder);
  std::vector<std::string> paths{folder};
#ifndef _WIN32  // no FIFOs on Windows
  const std::string fifo = files.folder() / "fifo.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  paths.push_back(fifo);
#endif
  for (const std::string& path : paths) {
    EXPECT_EQ(value(path, "S", "K"), "<default>");  // a pipe must not hang the reader
    EXPECT_FALSE(WP(path, "S", "K", "v"));
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(ProfileInput, UnreadableFileGivesDefaultsAndIsNotReplaced) {
#ifdef _WIN32
  GTEST_SKIP() << "permission bits are POSIX";
#else
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=v\r\n");
  chmod(path.c_str(), 0);
  testing_support::withoutRootOverrides([&] {
    EXPECT_EQ(value(path, "S", "K"), "<default>");
    EXPECT_FALSE(WP(path, "S", "K", "w"));
  });
  chmod(path.c_str(), 0600);
  EXPECT_EQ(readFile(path), "[S]\r\nK=v\r\n");
#endif
}

TEST(ProfileInput, BareFileNamesAreNotResolved) {
  ProfileFiles files;
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(files.folder().path());
  writeFile("bare.ini", "[S]\r\nK=v\r\n");
  EXPECT_EQ(value("bare.ini", "S", "K"), "<default>");
  EXPECT_FALSE(WP("bare.ini", "S", "K", "w"));
  EXPECT_FALSE(WP("other.ini", "S", "K", "w"));
  EXPECT_FALSE(WP("", "S", "K", "w"));
  EXPECT_EQ(value("./bare.ini", "S", "K"), "v");  // a relative path with a folder is a path
  std::filesystem::current_path(saved);
  EXPECT_EQ(readFile(files.folder() / "bare.ini"), "[S]\r\nK=v\r\n");
  EXPECT_FALSE(std::filesystem::exists(files.folder() / "other.ini"));
}

TEST(ProfileInput, OddFileNames) {
  ProfileFiles files;
#ifdef _WIN32
  const std::size_t longest = 180;  // the Windows A functions take paths up to 260 bytes
#else
  const std::size_t longest = 255;
#endif
  for (const std::string& name : {"with space.ini"s, "bytes\xFF\xFE.ini"s, std::string(longest, 'n')}) {
    SCOPED_TRACE(name.size());
    const std::string path = files.folder() / name;
    ASSERT_TRUE(WP(path, "S", "K", "v"));
    EXPECT_EQ(value(path, "S", "K"), "v");
    ASSERT_TRUE(WP(path, "S", "K", "w"));
    EXPECT_EQ(readFile(path), "[S]\r\nK=w\r\n");
  }
}

TEST(ProfileInput, RewriteKeepsPermissionsAndFollowsLinks) {
#ifdef _WIN32
  GTEST_SKIP() << "permission bits and symbolic links are POSIX";
#else
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=v\r\n");
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(WP(path, "S", "K", "w"));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  const std::string link = files.folder() / "link.ini";
  std::filesystem::create_symlink(path, link);
  ASSERT_TRUE(WP(link, "S", "K", "x"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readFile(path), "[S]\r\nK=x\r\n");
#endif
}

TEST(ProfileInput, NoTemporaryFilesAreLeftBehind) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nK=v\r\n");
  ASSERT_TRUE(WP(path, "S", "K", "w"));
  EXPECT_FALSE(WP(path, "S", "K", "bad\nvalue"));
  for (const auto& entry : std::filesystem::directory_iterator(files.folder().path())) {
    EXPECT_EQ(entry.path().extension(), entry.path().filename() == "profile0.ini" ? ".ini" : ".lock") << entry.path();
  }
}

TEST(ProfileInput, DeletesOnMissingFileCreateNothing) {
  ProfileFiles files;
  const std::string path = files.make(std::nullopt);
  EXPECT_TRUE(WP(path, "S", "K", nullptr));
  EXPECT_TRUE(WP(path, "S", nullptr, nullptr));
  EXPECT_FALSE(WP(path, nullptr, nullptr, nullptr));
  EXPECT_TRUE(std::filesystem::is_empty(files.folder().path()));
}

}  // namespace

}  // namespace halvik::profile
