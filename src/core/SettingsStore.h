#pragma once

#include <string>

// The per-user settings store: text values addressed by application name, section and key,
// compared without regard to ASCII case ("Totalscans" and "TotalScans" are one value). Any
// text is a valid name, a folder path included. Reads are answered from the profile reader's
// parsed copy of the file, checked for changes as every profile read is (a write of our own
// shows at once, another program's within 100 ms); every write reaches the file before it
// returns (atomic, locked against other running copies). The store lives in the file
// platform::environment().settingsFile; on Windows it lives in the registry, under the key of
// that name in HKEY_CURRENT_USER, where a backslash in the application or section name
// separates key levels.
namespace halvik::core::SettingsStore {

// The stored text, or `defaultValue` when the application, section or key does not exist or
// the store cannot be read.
std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue);

// Stores `value`, creating the application, section and key as needed. False when the store
// could not be written; what was stored before is then left whole.
bool SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value);

}  // namespace halvik::core::SettingsStore
