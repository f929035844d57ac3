// The per-user settings of the registry. Every call goes to the registry, which compares names
// without regard to case and makes each value write whole.
#include "platform/SettingsRegistry.h"

#include "platform/win32/RegistryKey.h"

namespace halvik::platform {

bool hasSettingsRegistry() { return true; }

std::optional<std::string> readUserValue(const std::string& keyPath, const std::string& name) {
  constexpr DWORD kStrings = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  std::string value(256, '\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(value.size());
    const LONG result =
        RegGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), name.c_str(), kStrings, nullptr, value.data(), &size);
    if (result == ERROR_MORE_DATA) {
      value.assign(size, '\0');
      continue;
    }
    if (result != ERROR_SUCCESS) return std::nullopt;
    // The size counts the terminating zero that RegGetValueA guarantees.
    value.resize(size > 0 ? size - 1 : 0);
    return value;
  }
}

Status writeUserValue(const std::string& keyPath, const std::string& name, const std::string& value) {
  // Creates the key and those above it as needed.
  return win32::registryStatus(RegSetKeyValueA(HKEY_CURRENT_USER, keyPath.c_str(), name.c_str(), REG_SZ, value.c_str(),
                                               static_cast<DWORD>(value.size() + 1)));
}

}  // namespace halvik::platform
