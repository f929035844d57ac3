// The program folder, wildcard listings and folder creation on the Windows API.
#include "platform/FolderCheck.h"
#include "platform/Platform.h"
#include "platform/Wildcard.h"
#include "platform/win32/Handle.h"

namespace halvik::platform {
namespace {
constexpr std::uint32_t kMaskedKinds = kHidden | kSystem | kFolder;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Where the levels of a path start: after "C:\\", after "\\\\server\\share\\", or at 0.
std::size_t firstLevel(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.find_first_not_of("\\/", 2);
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
    std::size_t share = path.find_first_of("\\/", path.find_first_not_of("\\/"));
    if (share != std::string::npos) share = path.find_first_of("\\/", path.find_first_not_of("\\/", share));
    return share == std::string::npos ? share : path.find_first_not_of("\\/", share);
  }
  return path.find_first_not_of("\\/");
}

// One level of createOwnerFolders: made, or already a folder that is not a link. Anything else
// in the way reads as "The directory name is invalid".
Status ensureLevel(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return {};
  if (GetLastError() != ERROR_ALREADY_EXISTS) return Status::lastError();
  return isFolder(path) ? Status() : Status::failure(ERROR_DIRECTORY);
}

// Closes a FindFirstFileA search when the listing ends.
struct SearchHandle {
  HANDLE handle;
  ~SearchHandle() {
    if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
  }
};
}  // namespace

std::string programFolder() {
  // The module name can exceed MAX_PATH; the call then fills the buffer and truncates.
  std::string path(MAX_PATH, '\0');
  DWORD length = 0;
  for (;;) {
    length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size() || path.size() >= 32768) break;
    path.resize(path.size() * 2);
  }
  path.resize(length);
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return {};
  // A drive root keeps its separator: "C:\halvik.exe" lives in "C:\".
  if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
  return path.substr(0, separator);
}

std::optional<std::vector<DirEntry>> listFolder(const std::string& folder, const std::string& pattern,
                                                std::uint32_t includeMask, ListDetail detail) {
  if (folder.empty()) return std::nullopt;  // never the working folder by accident
  std::string query = folder;
  if (!query.empty() && !isSeparator(query.back())) query += kSeparator;
  query += pattern;
  WIN32_FIND_DATAA found;
  SearchHandle search{FindFirstFileA(query.c_str(), &found)};
  std::vector<DirEntry> entries;
  if (search.handle == INVALID_HANDLE_VALUE) {
    // "No match" in a folder that exists is an empty listing, not a failure.
    if (GetLastError() == ERROR_FILE_NOT_FOUND && isFolder(folder, Links::Followed)) return entries;
    return std::nullopt;
  }
  do {
    std::uint32_t attributes = found.dwFileAttributes;
    if (attributes & kMaskedKinds & ~includeMask) continue;
    // The system also matches the 8.3 short name ("*.htm" finds "page.html"); the pattern
    // applies to the name as listed, as on every other system.
    if (!matchesWildcard(found.cFileName, pattern)) continue;
    if (detail == ListDetail::Kinds) attributes &= ~kReadOnly;
    entries.push_back({found.cFileName, attributes});
  } while (FindNextFileA(search.handle, &found));
  return entries;
}

Status createFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return {};
  const Status failed = Status::lastError();
  return failed.code() == ERROR_ALREADY_EXISTS && isFolder(path, Links::Followed) ? Status() : failed;
}

// Each new level takes the protection of the folder above it: under the user's profile that is
// the user's own, so no descriptor of our own is needed.
Status createOwnerFolders(const std::string& path) {
  std::size_t end = firstLevel(path);
  if (end == std::string::npos)
    return isFolder(path, Links::Followed) ? Status() : Status::failure(ERROR_PATH_NOT_FOUND);
  while (end != std::string::npos) {
    end = path.find_first_of("\\/", end);
    const std::string level = path.substr(0, end);
    if (isFolder(level, Links::Followed) && end != std::string::npos) {
      end = path.find_first_not_of("\\/", end);
      continue;  // a level above the last may be a link (a moved profile folder)
    }
    if (Status made = ensureLevel(level); !made) return made;
    if (end != std::string::npos) end = path.find_first_not_of("\\/", end);
  }
  return {};
}

}  // namespace halvik::platform
