#pragma once

// Helpers for the tests that only the Windows build runs.
#ifdef _WIN32
#include <windows.h>

#include <string>
#include <utility>

namespace halvik::testing_support {

// True when the Windows build runs under Wine, which differs from Windows in a few places that
// the tests name (Wine exports wine_get_version from its ntdll; Windows does not).
inline bool runningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

inline bool registryKeyExists(const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// Type and bytes of a value of a key of HKEY_CURRENT_USER exactly as the registry holds them;
// type REG_NONE when the value is missing.
inline std::pair<DWORD, std::string> registryValue(const std::string& key, const std::string& name) {
  DWORD type = REG_NONE, size = 0;
  constexpr DWORD kAnyType = RRF_RT_ANY | RRF_NOEXPAND;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), kAnyType, &type, nullptr, &size) != ERROR_SUCCESS)
    return {REG_NONE, ""};
  std::string bytes(size, '\0');
  RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), kAnyType, &type, bytes.data(), &size);
  bytes.resize(size);
  return {type, bytes};
}

}  // namespace halvik::testing_support
#endif
