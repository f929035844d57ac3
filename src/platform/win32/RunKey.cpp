// The start-up entry: one string value of a Run key in the registry.
#include "platform/Platform.h"
#include "platform/win32/Handle.h"

namespace halvik::platform {
namespace {
HKEY rootKey(RegistryRoot root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)); }
}  // namespace

bool setRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName, const std::string& data,
                 const std::string& /*autostartFolder*/) {
  // The key is opened, never created: a missing Run key means start-up entries do not apply.
  win32::RegistryKey key;
  if (RegOpenKeyExA(rootKey(root), keyPath.c_str(), 0, KEY_ALL_ACCESS, key.out()) != ERROR_SUCCESS) return false;
  // A string value in the ANSI code page, its length counting the terminating zero.
  return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool deleteRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                    const std::string& /*autostartFolder*/) {
  win32::RegistryKey key;
  char noClass[] = "";
  if (RegCreateKeyExA(rootKey(root), keyPath.c_str(), 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      key.out(), nullptr) != ERROR_SUCCESS)
    return false;
  // A value that is already absent is what the caller asked for.
  const LONG result = RegDeleteValueA(key.get(), valueName.c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace halvik::platform
