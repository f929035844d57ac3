// The start-up entry: one string value of a Run key in the registry.
#include "platform/Platform.h"
#include "platform/win32/RegistryKey.h"

namespace halvik::platform {
namespace {
HKEY rootKey(RegistryRoot root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)); }
}  // namespace

Status setRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName, const std::string& data,
                   const std::string& /*autostartFolder*/) {
  // The key is opened, never created: a missing Run key means start-up entries do not apply.
  win32::RegistryKey key;
  if (Status opened =
          win32::registryStatus(RegOpenKeyExA(rootKey(root), keyPath.c_str(), 0, KEY_ALL_ACCESS, key.out()));
      !opened)
    return opened;
  // The program as one quoted argument: unquoted, "C:\Program Files\..." would first start
  // "C:\Program.exe". A string value in the ANSI code page, its length counting the terminating zero.
  if (data.empty() || data.find('"') != std::string::npos) return Status::failure(ERROR_INVALID_PARAMETER);
  const std::string command = '"' + data + '"';
  return win32::registryStatus(RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ,
                                              reinterpret_cast<const BYTE*>(command.c_str()),
                                              static_cast<DWORD>(command.size() + 1)));
}

Status deleteRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                      const std::string& /*autostartFolder*/) {
  win32::RegistryKey key;
  char noClass[] = "";
  if (Status opened =
          win32::registryStatus(RegCreateKeyExA(rootKey(root), keyPath.c_str(), 0, noClass, REG_OPTION_NON_VOLATILE,
                                                KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
      !opened)
    return opened;
  // A value that is already absent is what the caller asked for.
  const LONG result = RegDeleteValueA(key.get(), valueName.c_str());
  return win32::registryStatus(result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result);
}

}  // namespace halvik::platform
