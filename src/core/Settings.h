#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <string>

// Every option and counter the program keeps, in one table: section, key, the default that
// every reader passes, and the application name it is kept under. Options ("Settings") are
// kept per installation (application name: the program folder); counters ("Status") are
// shared by every installation of one user (application name: the program title).
namespace halvik::core::settings {

// The stored values, in the order of the table.
enum class Key : std::size_t {
  RunOnStartup,
  LogFile,
  Quarintine,
  IExplore,
  LoadAdMonitor,
  AdMonitorRefresh,
  LastSystemScan,
  TotalObjectsRemoved,
  TotalScans,
  SignatureFeed,
  LastSignatureCheck,
  SystemLog,
  WatchFiles,
  AutoQuarantine,
  WatchFolders,
  Count
};

enum class AppName { ProgramFolder, ProgramTitle };

struct Setting {
  const char* section;
  const char* key;
  const char* defaultValue;
  AppName appName;
};

inline constexpr std::array<Setting, static_cast<std::size_t>(Key::Count)> kTable{{
    {"Settings", "RunOnStartup", "0", AppName::ProgramFolder},
    {"Settings", "LogFile", "0", AppName::ProgramFolder},
    // Key spelt "Quarintine" in every stored settings file: kept so the saved option is read back.
    // On unless the user stored "0": a repair never deletes a file without its copy by default.
    {"Settings", "Quarintine", "1", AppName::ProgramFolder},
    {"Settings", "IExplore", "0", AppName::ProgramFolder},
    {"Settings", "LoadAdMonitor", "0", AppName::ProgramFolder},
    {"Settings", "AdMonitorRefresh", "5000", AppName::ProgramFolder},
    {"Status", "LastSystemScan", "Jamais", AppName::ProgramTitle},
    {"Status", "TotalObjectsRemoved", "0", AppName::ProgramTitle},
    // Written as "Totalscans" by the scan driver and read as "TotalScans" by the status page: one value.
    {"Status", "Totalscans", "0", AppName::ProgramTitle},
    // Where signature updates come from: a reserved name that reaches no host until a feed is published.
    {"Settings", "SignatureFeed", "https://signatures.orvento.invalid/feed/", AppName::ProgramFolder},
    // When the companion last checked the feed (ISO 8601, UTC); empty: never.
    {"Settings", "LastSignatureCheck", "", AppName::ProgramFolder},
    // Every event of the day log also goes to the system log (journald, the Windows event log).
    {"Settings", "SystemLog", "1", AppName::ProgramFolder},
    // The watch of folders: on or off, automatic quarantine of what it finds, and the watched
    // trees (each percent-encoded, separated by ";"; empty for the defaults).
    {"Settings", "WatchFiles", "1", AppName::ProgramFolder},
    {"Settings", "AutoQuarantine", "0", AppName::ProgramFolder},
    {"Settings", "WatchFolders", "", AppName::ProgramFolder},
}};

constexpr const Setting& settingOf(Key key) { return kTable[static_cast<std::size_t>(key)]; }

// The text a first run reads: the status page shows the counters' defaults before they are read.
constexpr const char* defaultOf(Key key) { return settingOf(key).defaultValue; }

// The application name a setting is kept under, from the environment's program folder.
std::string appNameOf(Key key);

// GetSetting with the setting's own application name, section, key and default.
std::string read(Key key);
// SaveSetting with the setting's own application name, section and key.
bool write(Key key, const std::string& value);

// The two readings of a switch. Most readers take it as on only when it is exactly "1"; the log
// writer takes it as on unless it is exactly "0".
bool onWhenOne(Key key);
bool onUnlessZero(Key key);

// A counter as a number: the stored text taken as a decimal number, 0 when it is not one.
double readNumber(Key key);
// A whole number as decimal text without a fractional part ("12", not "12.0").
std::string numberText(double value);

// The monitor's refresh periods, in the order the settings dialog offers them, and the period
// of the default text (the monitor's timer starts with it).
inline constexpr std::array<std::chrono::milliseconds, 4> kMonitorPeriods{std::chrono::milliseconds(10000),
                                                                          std::chrono::milliseconds(5000),
                                                                          std::chrono::milliseconds(3000),
                                                                          std::chrono::milliseconds(1000)};
std::chrono::milliseconds defaultMonitorPeriod();

// The stored monitor period: one of kMonitorPeriods, else the default period.
std::chrono::milliseconds monitorPeriod();

}  // namespace halvik::core::settings
