// The Windows settings store: values in the registry under the test's own key of
// HKEY_CURRENT_USER (TestEnvironment), laid out as Windows programs lay out such settings.
#include "core/Locations.h"
#include "core/SettingsStore.h"

#include "support/TestEnvironment.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace halvik::core {

using namespace std::string_literals;
using core::SettingsStore::GetSetting;
using core::SettingsStore::SaveSetting;
using testing_support::TestEnvironment;

namespace {

std::string keyOf(const std::string& levels) { return platform::environment().settingsFile + "\\" + levels; }

bool keyExists(const std::string& levels) { return testing_support::registryKeyExists(keyOf(levels)); }

DWORD valueCount(const std::string& levels) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyOf(levels).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD count = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  return count;
}

std::pair<DWORD, std::string> rawValue(const std::string& levels, const std::string& name) {
  return testing_support::registryValue(keyOf(levels), name);
}

TEST(SettingsStoreRegistry, KeepsOneStringValuePerKeyUnderApplicationAndSection) {
  TestEnvironment environment;
  EXPECT_EQ(GetSetting("Orvento Halvik", "Status", "TotalScans", "0"), "0");
  EXPECT_FALSE(keyExists("Orvento Halvik"));  // reading creates nothing

  ASSERT_TRUE(SaveSetting("Orvento Halvik", "Status", "Totalscans", "7"));
  EXPECT_EQ(rawValue("Orvento Halvik\\Status", "Totalscans"), std::make_pair(DWORD{REG_SZ}, "7\0"s));
  EXPECT_EQ(GetSetting("ORVENTO HALVIK", "status", "TotalScans", "0"), "7");

  // Another spelling replaces the one value; the spelling first written stays.
  ASSERT_TRUE(SaveSetting("orvento halvik", "STATUS", "TOTALSCANS", "8"));
  EXPECT_EQ(valueCount("Orvento Halvik\\Status"), 1u);
  EXPECT_EQ(rawValue("Orvento Halvik\\Status", "Totalscans").second, "8\0"s);
}

TEST(SettingsStoreRegistry, BackslashesInTheApplicationNameMakeKeyLevels) {
  TestEnvironment environment;
  const std::string folder = "C:\\Program Files\\Orvento Halvik [2]";
  ASSERT_TRUE(SaveSetting(folder, "Settings", "LogFile", "1"));
  EXPECT_EQ(rawValue("C:\\Program Files\\Orvento Halvik [2]\\Settings", "LogFile").second, "1\0"s);
  // Application and section are joined into one path, so these name the same key.
  EXPECT_EQ(GetSetting("C:", "Program Files\\Orvento Halvik [2]\\Settings", "LogFile", "0"), "1");
  EXPECT_EQ(GetSetting("c:\\program files\\ORVENTO HALVIK [2]", "settings", "logfile", "0"), "1");

  // A program in a drive root keeps its options under "D:", the empty level left out.
  ASSERT_TRUE(SaveSetting("D:\\", "Settings", "LogFile", "root"));
  EXPECT_EQ(rawValue("D:\\Settings", "LogFile").second, "root\0"s);
  EXPECT_EQ(GetSetting("D:\\", "Settings", "LogFile", "0"), "root");
}

TEST(SettingsStoreRegistry, OrdinaryTextRoundTripsAsValueAndKeyName) {
  TestEnvironment environment;
  const std::vector<std::string> texts = {
      "",    " lead", "trail ", "\"quoted\"", "a=b",        "[section]", ";comment", "%41",
      "a/b", "a\\b",  "tab\t",  "line\nfeed", "cr\rlf\r\n", "\x7F",      "caf\xE9",  std::string(5000, 'v'),
  };
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(SaveSetting("App", "Values", std::to_string(i), texts[i]));
    ASSERT_TRUE(SaveSetting("App", "Keys", texts[i], "key " + std::to_string(i)));
  }
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetSetting("App", "Values", std::to_string(i), "?"), texts[i]);
    EXPECT_EQ(GetSetting("App", "Keys", texts[i], "?"), "key " + std::to_string(i));
  }
}

// What the registry cannot hold is refused, and what was stored stays whole: a NUL byte would
// cut a name or value short, an application or section without a level names no key, a
// level is at most 255 characters long.
TEST(SettingsStoreRegistry, RefusesNamesAndValuesTheRegistryCannotHold) {
  TestEnvironment environment;
  ASSERT_TRUE(SaveSetting("App", "S", "K", "kept"));
  EXPECT_FALSE(SaveSetting("App", "S", "K", "nul\0byte"s));
  EXPECT_FALSE(SaveSetting("App", "S", "K\0x"s, "v"));
  EXPECT_FALSE(SaveSetting("App\0x"s, "S", "K", "v"));
  EXPECT_FALSE(SaveSetting("", "S", "K", "v"));
  EXPECT_FALSE(SaveSetting("App", "\\\\", "K", "v"));
  EXPECT_FALSE(SaveSetting(std::string(300, 'a'), "S", "K", "v"));  // a key level holds 255 characters
  EXPECT_EQ(GetSetting("App", "S", "K", "?"), "kept");
  EXPECT_EQ(GetSetting("App", "S", "K\0x"s, "default"), "default");
  EXPECT_EQ(GetSetting("", "S", "K", "default"), "default");
  EXPECT_EQ(valueCount("App\\S"), 1u);
}

TEST(SettingsStoreRegistry, AValueOfAnotherTypeReadsAsTheDefault) {
  TestEnvironment environment;
  ASSERT_TRUE(SaveSetting("App", "S", "other", "x"));
  const DWORD number = 5;
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, keyOf("App\\S").c_str(), "K", REG_DWORD, &number, sizeof number),
            ERROR_SUCCESS);
  EXPECT_EQ(GetSetting("App", "S", "K", "default"), "default");
  ASSERT_TRUE(SaveSetting("App", "S", "K", "text"));
  EXPECT_EQ(GetSetting("App", "S", "K", "default"), "text");
}

}  // namespace

}  // namespace halvik::core
