#include "platform/win32/TempFileSweep.h"

#include "platform/TempFileName.h"

#include <windows.h>

#include <cstdint>

namespace halvik::platform::win32 {
namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns ticks

std::int64_t ticksOf(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

}  // namespace

void sweepStaleTemporaries(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\.halvik-*.tmp").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  constexpr DWORD kNotPlainFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  do {
    const bool stale = ticksOf(now) - ticksOf(entry.ftLastWriteTime) > kStaleTemporarySeconds * kTicksPerSecond;
    if (!(entry.dwFileAttributes & kNotPlainFile) && stale && isTemporaryName(entry.cFileName))
      DeleteFileA((folder + "\\" + entry.cFileName).c_str());
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

}  // namespace halvik::platform::win32
