#include "platform/Platform.h"

#include <windows.h>

namespace halvik::platform {
namespace {
void closeHandle(std::int64_t handle) {
  if (handle >= 0) CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle)));
}
}  // namespace

FileLock::~FileLock() { closeHandle(m_handle); }

FileLock::FileLock(FileLock&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    closeHandle(m_handle);
    m_handle = other.m_handle;
    other.m_handle = -1;
  }
  return *this;
}

// A file opened with no sharing at all: nobody else can open it while this handle lives, and the
// system closes the handle when the process ends. A reparse point (link) is never opened through.
FileLock FileLock::tryTake(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
    return FileLock();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileLock();
  return FileLock(static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(file)));
}

}  // namespace halvik::platform
