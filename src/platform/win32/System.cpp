// Dates, the Windows folder, the drives, the platform identifier and the default locations.
#include "platform/FolderWatch.h"
#include "platform/Platform.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>

namespace halvik::platform {
namespace {
// Asks `query` for a text into a buffer of `initial` bytes and again with the size it reports
// when that was too small. `query` returns the length written or the size needed, 0 on failure.
template <typename Query>
std::string textOf(UINT initial, Query query) {
  std::string text(initial, '\0');
  UINT length = query(text.data(), initial);
  if (length >= initial) {
    text.assign(length + 1, '\0');
    length = query(text.data(), length + 1);
    if (length > text.size()) length = 0;
  }
  text.resize(length);
  return text;
}

std::string formatted(const char* format, int a, int b, int c) {
  char text[32];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}
}  // namespace

std::string shortDate() {
  char text[128];
  const int length = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, sizeof text);
  if (length > 1) return std::string(text, static_cast<std::size_t>(length - 1));
  SYSTEMTIME now;
  GetLocalTime(&now);
  return formatted("%02d/%02d/%04d", now.wDay, now.wMonth, now.wYear);
}

std::string shortTime() {
  char text[128];
  const int length = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof text);
  if (length > 1) return std::string(text, static_cast<std::size_t>(length - 1));
  SYSTEMTIME now;
  GetLocalTime(&now);
  return formatted("%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
}

std::string windowsFolder() {
  // A buffer of 128 bytes covers every usual Windows folder; a longer one is asked for again
  // with the size the system reports instead of being read from an unfilled buffer.
  return textOf(128, [](char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); });
}

std::vector<std::string> drives() {
  const std::string list =
      textOf(128, [](char* buffer, UINT size) { return static_cast<UINT>(GetLogicalDriveStringsA(size, buffer)); });
  // "C:\<NUL>D:\<NUL>": one root per NUL-terminated entry.
  std::vector<std::string> roots;
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = list.find('\0', start);
    const std::size_t stop = end == std::string::npos ? list.size() : end;
    if (stop > start) roots.push_back(list.substr(start, stop - start));
    start = stop + 1;
  }
  return roots;
}

std::uint16_t platformId() {
  OSVERSIONINFOA version{};
  static_assert(sizeof(version) == 148, "OSVERSIONINFOA is the 148-byte record");
  version.dwOSVersionInfoSize = sizeof(version);
  // The call only fails for a wrong record size; every system that runs this build is NT.
  if (!GetVersionExA(&version)) return VER_PLATFORM_WIN32_NT;
  return static_cast<std::uint16_t>(version.dwPlatformId);
}

std::string defaultAutostartFolder() {
  // Windows starts programs from the Run key of the registry, not from a folder.
  return std::string();
}

std::string defaultUserAutostartFolder() {
  // The user's entries are values of the current user's Run key.
  return std::string();
}

namespace {
// The user's temporary folder, without a trailing separator.
std::string temporaryFolder() {
  std::string temporary =
      textOf(MAX_PATH + 1, [](char* buffer, UINT size) { return static_cast<UINT>(GetTempPathA(size, buffer)); });
  while (temporary.size() > 3 && temporary.back() == '\\') temporary.pop_back();
  return temporary;
}
}  // namespace

std::string defaultSettingsFile() {
  // On Windows the per-user settings live in the registry, under this key of HKEY_CURRENT_USER.
  // Options and counters stored so far are all there: the key keeps this name so they are found.
  return "Software\\VB and VBA Program Settings";
}

std::string defaultDataFolder() {
  char folder[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return std::string();
  return std::string(folder) + "\\Orvento Halvik";
}

std::vector<DefaultWatchFolder> defaultWatchFolders() {
  std::vector<DefaultWatchFolder> folders;
  const auto add = [&folders](int csidl, const char* below, bool subfolders) {
    char folder[MAX_PATH + 1] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)))
      folders.push_back({std::string(folder) + below, subfolders});
  };
  add(CSIDL_PROFILE, "\\Downloads", true);
  add(CSIDL_DESKTOPDIRECTORY, "", true);
  add(CSIDL_STARTUP, "", true);
  if (const std::string temporary = temporaryFolder(); !temporary.empty()) folders.push_back({temporary, true});
  add(CSIDL_PROFILE, "", false);
  return folders;
}

std::string defaultMachineSignaturesFolder() {
  char folder[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return std::string();
  return std::string(folder) + "\\Orvento Halvik\\Signatures";
}

std::string defaultRuntimeFolder() {
  if (const char* local = std::getenv("LOCALAPPDATA"); local && *local) return local;
  return temporaryFolder();
}

}  // namespace halvik::platform
