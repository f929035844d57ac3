// The table of stored values: every key once, each as the stored files have always had it, and
// the readings the program gives a stored text.
#include "core/Settings.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <iterator>
#include <set>
#include <string>

namespace halvik::core {

using settings::AppName;
using settings::Key;

namespace {

// The store compares names without regard to ASCII case, so two keys that differ only in case
// would be one value.
std::string folded(const char* text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

}  // namespace

TEST(SettingsTable, EveryKeyIsListedExactlyOnce) {
  std::set<std::string> keys;
  for (const settings::Setting& setting : settings::kTable) {
    ASSERT_TRUE(setting.section && setting.key && setting.defaultValue);
    EXPECT_TRUE(keys.insert(folded(setting.key)).second) << setting.key << " is listed twice";
  }
  EXPECT_EQ(keys.size(), static_cast<std::size_t>(Key::Count));
}

TEST(SettingsTable, EveryValueKeepsItsSectionKeyDefaultAndApplication) {
  const struct {
    Key id;
    const char* section;
    const char* key;
    const char* defaultValue;
    AppName appName;
  } expected[] = {
      {Key::RunOnStartup, "Settings", "RunOnStartup", "0", AppName::ProgramFolder},
      {Key::LogFile, "Settings", "LogFile", "0", AppName::ProgramFolder},
      {Key::Quarintine, "Settings", "Quarintine", "1", AppName::ProgramFolder},
      {Key::IExplore, "Settings", "IExplore", "0", AppName::ProgramFolder},
      {Key::LoadAdMonitor, "Settings", "LoadAdMonitor", "0", AppName::ProgramFolder},
      {Key::AdMonitorRefresh, "Settings", "AdMonitorRefresh", "5000", AppName::ProgramFolder},
      {Key::LastSystemScan, "Status", "LastSystemScan", "Jamais", AppName::ProgramTitle},
      {Key::TotalObjectsRemoved, "Status", "TotalObjectsRemoved", "0", AppName::ProgramTitle},
      {Key::TotalScans, "Status", "Totalscans", "0", AppName::ProgramTitle},
      {Key::SignatureFeed, "Settings", "SignatureFeed", "https://signatures.orvento.invalid/feed/",
       AppName::ProgramFolder},
      {Key::LastSignatureCheck, "Settings", "LastSignatureCheck", "", AppName::ProgramFolder},
      {Key::SystemLog, "Settings", "SystemLog", "1", AppName::ProgramFolder},
      {Key::WatchFiles, "Settings", "WatchFiles", "1", AppName::ProgramFolder},
      {Key::AutoQuarantine, "Settings", "AutoQuarantine", "0", AppName::ProgramFolder},
      {Key::WatchFolders, "Settings", "WatchFolders", "", AppName::ProgramFolder},
  };
  ASSERT_EQ(std::size(expected), settings::kTable.size());
  for (const auto& value : expected) {
    const settings::Setting& setting = settings::settingOf(value.id);
    EXPECT_STREQ(setting.section, value.section) << value.key;
    EXPECT_STREQ(setting.key, value.key);
    EXPECT_STREQ(setting.defaultValue, value.defaultValue) << value.key;
    EXPECT_EQ(setting.appName, value.appName) << value.key;
  }
}

TEST(SettingsTable, TheTwoReadingsOfASwitch) {
  testing_support::TestEnvironment environment;
  EXPECT_FALSE(settings::onWhenOne(Key::LogFile)) << "the default";
  EXPECT_FALSE(settings::onUnlessZero(Key::LogFile)) << "the default";
  const struct {
    const char* stored;
    bool whenOne;
    bool unlessZero;
  } cases[] = {{"1", true, true},   {"0", false, false},  {"", false, true},
               {" 1", false, true}, {"yes", false, true}, {"00", false, true}};
  for (const auto& each : cases) {
    ASSERT_TRUE(settings::write(Key::LogFile, each.stored));
    EXPECT_EQ(settings::onWhenOne(Key::LogFile), each.whenOne) << '"' << each.stored << '"';
    EXPECT_EQ(settings::onUnlessZero(Key::LogFile), each.unlessZero) << '"' << each.stored << '"';
  }
}

TEST(SettingsTable, TheQuarantineIsOnUntilTheUserStoresZero) {
  testing_support::TestEnvironment environment;
  EXPECT_TRUE(settings::onWhenOne(Key::Quarintine)) << "nothing stored: a repair keeps a copy";
  ASSERT_TRUE(settings::write(Key::Quarintine, "0"));
  EXPECT_EQ(settings::read(Key::Quarintine), "0");
  EXPECT_FALSE(settings::onWhenOne(Key::Quarintine)) << "a stored 0 stays 0";
  ASSERT_TRUE(settings::write(Key::Quarintine, "1"));
  EXPECT_TRUE(settings::onWhenOne(Key::Quarintine));
}

TEST(SettingsTable, MonitorPeriodIsAnOfferedOneElseTheDefault) {
  using std::chrono::milliseconds;
  testing_support::TestEnvironment environment;
  EXPECT_EQ(settings::defaultMonitorPeriod(), milliseconds(5000));
  EXPECT_NE(std::find(settings::kMonitorPeriods.begin(), settings::kMonitorPeriods.end(),
                      settings::defaultMonitorPeriod()),
            settings::kMonitorPeriods.end());
  EXPECT_EQ(settings::monitorPeriod(), milliseconds(5000)) << "nothing stored";
  for (const milliseconds period : settings::kMonitorPeriods) {
    ASSERT_TRUE(settings::write(Key::AdMonitorRefresh, std::to_string(period.count())));
    EXPECT_EQ(settings::monitorPeriod(), period);
  }
  for (const char* stored : {"2000", "0", "-1", " 1000", "1000 ", "1e3", ""}) {
    ASSERT_TRUE(settings::write(Key::AdMonitorRefresh, stored));
    EXPECT_EQ(settings::monitorPeriod(), milliseconds(5000)) << '"' << stored << '"';
  }
}

}  // namespace halvik::core
