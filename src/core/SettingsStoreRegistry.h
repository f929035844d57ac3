#pragma once

#include <string>

// The settings store kept in the system's registry (platform/SettingsRegistry.h), used in place
// of the settings file where the system has one: GetSetting and SaveSetting as in
// SettingsStore.h, a backslash in an application or section name separating key levels.
namespace halvik::core::SettingsStoreRegistry {

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue);

bool SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value);

}  // namespace halvik::core::SettingsStoreRegistry
