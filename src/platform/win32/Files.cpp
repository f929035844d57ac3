// Attributes, lengths, deletion and appended lines on the Windows API.
#include "platform/Platform.h"
#include "platform/win32/Handle.h"

namespace halvik::platform {

std::optional<std::uint32_t> fileAttributes(const std::string& path) {
  // GetFileAttributesA reports a symbolic link's own attributes (reparse point included).
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

std::optional<std::uint64_t> fileLength(const std::string& path) {
  const auto status = fileStatus(path);
  if (!status) return std::nullopt;
  return status->size;
}

std::optional<FileStatus> fileStatus(const std::string& path) {
  // A symbolic link gives its own data; its rights are in an access list, not permission bits.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return FileStatus{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, std::nullopt};
}

Status deleteFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Status::lastError();
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    // A symbolic link to a folder is removed as a folder entry; its target is never touched.
    // A real folder is never removed here: it reads as a refusal.
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return Status::failure(ERROR_ACCESS_DENIED);
    return RemoveDirectoryA(path.c_str()) ? Status() : Status::lastError();
  }
  return DeleteFileA(path.c_str()) ? Status() : Status::lastError();
}

Status appendLine(const std::string& path, const std::string& line) {
  // Append-only access: the system places every write at the current end of the file, so lines
  // of several running copies never overwrite each other. A reparse point (a symbolic link, a
  // junction) is opened as itself, never its target, and refused.
  win32::Handle file(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file || !GetFileInformationByHandle(file.get(), &info)) return Status::lastError();
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return Status::failure(ERROR_ACCESS_DENIED);
  const std::string text = line + "\r\n";
  DWORD written = 0;
  if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
    return Status::lastError();
  return written == text.size() ? Status() : Status::failure(ERROR_WRITE_FAULT);
}

}  // namespace halvik::platform
