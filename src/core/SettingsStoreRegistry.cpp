// The per-user settings store where the system has a registry: the branch where Windows
// programs keep such settings, HKEY_CURRENT_USER\<store>\<application>\<section>, one string
// value per key, with <store> = platform::environment().settingsFile ("Software\VB and VBA
// Program Settings").
#include "core/SettingsStoreRegistry.h"

#include "platform/Environment.h"
#include "platform/SettingsRegistry.h"

#include <optional>

namespace halvik::core::SettingsStoreRegistry {
namespace {
bool hasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

// The key of an application's section. A backslash separates key levels, as in every registry
// path, so application "A\B" with section "S" is application "A" with section "B\S"; empty
// levels (the trailing backslash of a drive root "C:\") are left out. nullopt when the names
// cannot form a key: a NUL byte, or an application or a section without any level.
std::optional<std::string> keyPath(const std::string& appName, const std::string& section) {
  std::string path = platform::environment().settingsFile;
  for (const std::string* name : {&appName, &section}) {
    if (hasNul(*name)) return std::nullopt;
    bool anyLevel = false;
    for (std::size_t start = 0; start <= name->size();) {
      std::size_t end = name->find('\\', start);
      if (end == std::string::npos) end = name->size();
      if (end > start) {
        path += '\\';
        path.append(*name, start, end - start);
        anyLevel = true;
      }
      start = end + 1;
    }
    if (!anyLevel) return std::nullopt;
  }
  return path;
}
}  // namespace

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
  const auto path = keyPath(appName, section);
  if (!path || hasNul(key)) return defaultValue;
  return platform::readUserValue(*path, key).value_or(defaultValue);
}

bool SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value) {
  // A NUL byte would cut a name or a string value short and store something else.
  const auto path = keyPath(appName, section);
  if (!path || hasNul(key) || hasNul(value)) return false;
  // Creates the application and section keys as needed.
  return platform::writeUserValue(*path, key, value).ok();
}

}  // namespace halvik::core::SettingsStoreRegistry
