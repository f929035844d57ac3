#include "platform/Platform.h"
#include "platform/win32/Handle.h"

namespace halvik::platform {

// A file opened with no sharing at all: nobody else can open it while this handle lives, and the
// system closes the handle when the process ends. A reparse point (link) is never opened through.
FileLock FileLock::tryTake(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
    return FileLock(Status::failure(ERROR_ACCESS_DENIED));
  win32::Handle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return FileLock(Status::lastError());
  return FileLock(std::move(file));
}

}  // namespace halvik::platform
