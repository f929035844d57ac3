#pragma once

#include <string>

// Every option and counter the program keeps, in one table: section, key, the default that
// every reader passes, and the application name it is kept under. Options ("Settings") are
// kept per installation (application name: the program folder); counters ("Status") are
// shared by every installation of one user (application name: the program title).
namespace halvik::core::settings {

enum class AppName { ProgramFolder, ProgramTitle };

struct Setting {
  const char* section;
  const char* key;
  const char* defaultValue;
  AppName appName;
};

inline constexpr Setting RunOnStartup{"Settings", "RunOnStartup", "0", AppName::ProgramFolder};
inline constexpr Setting LogFile{"Settings", "LogFile", "0", AppName::ProgramFolder};
// Key spelt "Quarintine" in every stored settings file: kept so the saved option is read back.
inline constexpr Setting Quarintine{"Settings", "Quarintine", "0", AppName::ProgramFolder};
inline constexpr Setting IExplore{"Settings", "IExplore", "0", AppName::ProgramFolder};
inline constexpr Setting LoadAdMonitor{"Settings", "LoadAdMonitor", "0", AppName::ProgramFolder};
inline constexpr Setting AdMonitorRefresh{"Settings", "AdMonitorRefresh", "5000", AppName::ProgramFolder};
inline constexpr Setting LastSystemScan{"Status", "LastSystemScan", "Jamais", AppName::ProgramTitle};
inline constexpr Setting TotalObjectsRemoved{"Status", "TotalObjectsRemoved", "0", AppName::ProgramTitle};
// Written as "Totalscans" by the scan driver and read as "TotalScans" by the status page: one value.
inline constexpr Setting TotalScans{"Status", "Totalscans", "0", AppName::ProgramTitle};

// The application name a setting is kept under, from core::locations().
std::string appNameOf(const Setting& setting);

// GetSetting with the setting's own application name, section, key and default.
std::string read(const Setting& setting);
// SaveSetting with the setting's own application name, section and key.
bool write(const Setting& setting, const std::string& value);

// A counter as a number: the stored text taken as a decimal number, 0 when it is not one.
double readNumber(const Setting& setting);
// A whole number as decimal text without a fractional part ("12", not "12.0").
std::string numberText(double value);

}  // namespace halvik::core::settings
