// cINI over the profile reader and writer: its fixed buffers, NUL removal, deletes and
// LastReturnCode.
#include "profile/cINI.h"
#include "support/ProfileTestSupport.h"

#include <gtest/gtest.h>

namespace halvik::profile {

using namespace std::string_literals;
using testing_support::ProfileFiles;
using testing_support::readFile;

namespace {

cINI accessor(const std::string& path, const std::string& section, const std::string& key = {}) {
  cINI ini;
  ini.setPath(path);
  ini.setSection(section);
  ini.setKey(key);
  return ini;
}

TEST(cINI, StartsEmpty) {
  const cINI ini;
  EXPECT_EQ(ini.Path(), "");
  EXPECT_EQ(ini.Section(), "");
  EXPECT_EQ(ini.Key(), "");
  EXPECT_EQ(ini.Default(), "");
  EXPECT_EQ(ini.LastReturnCode(), 0);
}

TEST(cINI, AbsentKeyGivesDefault) {
  ProfileFiles files;
  cINI ini = accessor(files.make("[S]\r\nK=v\r\n"), "S", "missing");
  EXPECT_EQ(ini.Value(), "");
  ini.setDefault("fallback  ");
  EXPECT_EQ(ini.Value(), "fallback");
  ini.setKey("K");
  EXPECT_EQ(ini.Value(), "v");
  ini.setPath(files.make(std::nullopt));
  EXPECT_EQ(ini.Value(), "fallback");
}

TEST(cINI, LongValueReadsAsFirst1023Bytes) {
  ProfileFiles files;
  std::string value(1500, 'a');
  for (std::size_t i = 0; i < value.size(); ++i) value[i] = static_cast<char>('a' + i % 26);
  cINI ini = accessor(files.make("[S]\r\nK=" + value + "\r\n"), "S", "K");
  EXPECT_EQ(ini.Value(), value.substr(0, 1023));
  ini.setValue(std::string(1023, 'b'));
  EXPECT_EQ(ini.Value(), std::string(1023, 'b'));
}

TEST(cINI, ValueWriteRemovesEveryNul) {
  ProfileFiles files;
  const std::string path = files.make(std::nullopt);
  cINI ini = accessor(path, "S", "K");
  ini.setValue("\0a\0\0b\0"s);
  EXPECT_EQ(ini.LastReturnCode(), 1);
  EXPECT_EQ(readFile(path), "[S]\r\nK=ab\r\n");
  EXPECT_EQ(ini.Value(), "ab");
}

TEST(cINI, SectionAndKeyNamesIgnoreCase) {
  ProfileFiles files;
  cINI ini = accessor(files.make("[scanfiles]\r\nnotepad.exe=Demo\r\n"), "SCANFILES", "NOTEPAD.EXE");
  EXPECT_EQ(ini.Value(), "Demo");
  ini.setSection("Scanfiles");
  ini.setKey("Notepad.Exe");
  EXPECT_EQ(ini.Value(), "Demo");
}

TEST(cINI, INISectionListsKeyNames) {
  ProfileFiles files;
  const cINI ini = accessor(files.make("[S]\r\nA=1\r\n;C=3\r\nBC=2\r\n"), "S");
  EXPECT_EQ(ini.INISection(), "A\0BC\0"s);
}

TEST(cINI, INISectionIsCutAt253Bytes) {
  ProfileFiles files;
  std::string content = "[S]\r\n";
  std::string all;
  for (int i = 0; i < 40; ++i) {
    const std::string key = "Key" + std::to_string(100 + i);
    content += key + "=v\r\n";
    all += key + '\0';
  }
  const cINI ini = accessor(files.make(content), "S");
  EXPECT_EQ(ini.INISection(), all.substr(0, 253));
}

TEST(cINI, DeletesAndLastReturnCode) {
  ProfileFiles files;
  const std::string path = files.make("[S]\r\nA=1\r\nB=2\r\n[T]\r\nC=3\r\n");
  cINI ini = accessor(path, "S", "A");
  ini.DeleteValue();
  EXPECT_EQ(ini.LastReturnCode(), 1);
  EXPECT_EQ(readFile(path), "[S]\r\nB=2\r\n[T]\r\nC=3\r\n");
  ini.DeleteSection();
  EXPECT_EQ(ini.LastReturnCode(), 1);
  EXPECT_EQ(readFile(path), "[T]\r\nC=3\r\n");
  ini.setSection("T");
  ini.setINISection("[X]\r\nstuff=1");
  EXPECT_EQ(ini.LastReturnCode(), 1);
  EXPECT_EQ(readFile(path), "");

  ini.setPath("bare-name.ini");  // no folder: nothing is written
  ini.setValue("v");
  EXPECT_EQ(ini.LastReturnCode(), 0);
  EXPECT_EQ(ini.Value(), "");
  EXPECT_EQ(ini.LastReturnCode(), 0);  // reads leave it as it is
  ini.setPath(path);
  ini.setKey("bad=key");
  ini.setValue("v");
  EXPECT_EQ(ini.LastReturnCode(), 0);
}

}  // namespace

}  // namespace halvik::profile
