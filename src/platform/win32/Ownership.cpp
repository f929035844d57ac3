#include "platform/Ownership.h"

#include "platform/win32/Handle.h"

namespace halvik::platform {

bool isPrivate(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool isOwnClosedFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

Status createPrivateFile(const std::string& path) {
  const win32::Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (file || GetLastError() == ERROR_FILE_EXISTS) return {};
  return Status::lastError();
}

}  // namespace halvik::platform
