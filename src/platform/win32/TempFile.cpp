#include "platform/win32/TempFile.h"

#include "platform/TempFileName.h"

#include <atomic>
#include <cstdint>
#include <random>

namespace halvik::platform::win32 {
namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns ticks

std::int64_t ticksOf(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

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

std::uint64_t randomBits() {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) | device();
}

}  // namespace

HANDLE createTemporaryIn(const std::string& folder, std::string& path) {
  static std::atomic<unsigned> counter{0};
  sweepStaleTemporaries(folder);
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = folder + "\\" + temporaryName(GetCurrentProcessId(), counter++, randomBits());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace halvik::platform::win32
