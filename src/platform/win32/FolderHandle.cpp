// Folders held open for a walk. Windows has no "open relative to a folder" in its Win32 API:
// each open folder's path comes back from its handle (GetFinalPathNameByHandleW, an
// extended-length "\\?\" path), so a walk is limited neither by MAX_PATH nor by renames of the
// folders above it. Names cross the boundary in the ANSI code page, as with the A functions.
#include "platform/DirEntries.h"
#include "platform/Platform.h"
#include "platform/Wildcard.h"
#include "platform/win32/Handle.h"

namespace halvik::platform {
namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
  return result;
}

std::string narrow(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), length, nullptr, nullptr);
  result.pop_back();  // the terminating NUL
  return result;
}

// The full path of an open folder, or empty text when the system cannot tell it.
std::wstring pathOf(std::int64_t handle) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(win32::handleOf(handle), path.data(), MAX_PATH, FILE_NAME_NORMALIZED);
  if (length >= MAX_PATH) {
    path.assign(length + 1, L'\0');
    length = GetFinalPathNameByHandleW(win32::handleOf(handle), path.data(), length + 1, FILE_NAME_NORMALIZED);
  }
  path.resize(length < path.size() ? length : 0);
  return path;
}

FolderId idOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<EntryIdentity> identityOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  const DWORD attributes = info.dwFileAttributes;
  const EntryKind kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? EntryKind::Link
                         : (attributes & FILE_ATTRIBUTE_DIRECTORY)   ? EntryKind::Folder
                         : (attributes & FILE_ATTRIBUTE_DEVICE)      ? EntryKind::Other
                                                                     : EntryKind::File;
  return EntryIdentity{idOf(info), kind};
}

// Opens the entry `name` of the open folder `folder` itself: a reparse point is opened, never
// what it leads to. INVALID_HANDLE_VALUE (with the system's error) when it cannot be opened.
HANDLE openEntry(std::int64_t folder, const std::string& name, DWORD access, DWORD flags = 0) {
  if (name.empty() || name.find_first_of("\\/") != std::string::npos) {
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  const std::wstring path = pathOf(folder);
  if (path.empty()) return INVALID_HANDLE_VALUE;
  return CreateFileW((path + L"\\" + wide(name)).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | flags, nullptr);
}

bool isMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

struct OpenFolder {
  win32::Handle handle;
  FolderId id;
};

// Opens the folder `path`; `ownEntry` refuses a symbolic link (or other reparse point) as the
// last name instead of following it.
std::optional<OpenFolder> openFolder(const std::wstring& path, bool ownEntry) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (ownEntry ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  win32::Handle handle(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                   nullptr, OPEN_EXISTING, flags, nullptr));
  if (!handle) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool folder = GetFileInformationByHandle(handle.get(), &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                      !(ownEntry && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT));
  if (!folder) return std::nullopt;
  return OpenFolder{std::move(handle), idOf(info)};
}
}  // namespace

FolderHandle FolderHandle::open(const std::string& path) {
  auto folder = openFolder(wide(path.empty() ? std::string(".") : path), false);
  if (!folder) return {};
  return FolderHandle(std::move(folder->handle), folder->id);
}

FolderHandle FolderHandle::openChild(const std::string& name, bool* otherFileSystem, std::uint64_t) const {
  if (otherFileSystem) *otherFileSystem = false;
  if (!valid() || name.empty() || name.find_first_of("\\/") != std::string::npos) return {};
  const std::wstring path = pathOf(m_handle.value());
  if (path.empty()) return {};
  auto child = openFolder(path + L"\\" + wide(name), true);
  if (!child) return {};
  // Another volume mounted on a folder is its own drive.
  if (child->id.device != m_id.device) {
    if (otherFileSystem) *otherFileSystem = true;
    return {};
  }
  return FolderHandle(std::move(child->handle), child->id);
}

FolderHandle FolderHandle::openParent(const FolderId& expected) const {
  if (!valid()) return {};
  const std::wstring path = pathOf(m_handle.value());
  const auto separator = path.find_last_of(L'\\');
  if (separator == std::wstring::npos) return {};
  auto parent = openFolder(path.substr(0, separator), false);
  if (!parent || !(parent->id == expected)) return {};
  return FolderHandle(std::move(parent->handle), parent->id);
}

bool FolderHandle::listInto(DirEntries& into, const std::string& pattern, std::uint32_t includeMask) const {
  into.clear();
  if (!valid()) return false;
  const std::wstring path = pathOf(m_handle.value());
  if (path.empty()) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const std::string name = narrow(found.cFileName);
    if (name.empty() || name == "." || name == "..") continue;
    const std::uint32_t attributes = found.dwFileAttributes & ~static_cast<std::uint32_t>(kReadOnly);
    if (attributes & (kHidden | kSystem | kFolder) & ~includeMask) continue;
    if (!matchesWildcard(name, pattern)) continue;
    into.add(name, attributes);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

std::optional<std::uint32_t> FolderHandle::attributesOf(const std::string& name) const {
  if (!valid()) return std::nullopt;
  const std::wstring path = pathOf(m_handle.value());
  if (path.empty()) return std::nullopt;
  const DWORD attributes = GetFileAttributesW((path + L"\\" + wide(name)).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

std::optional<EntryIdentity> FolderHandle::identify(const std::string& name) const {
  if (!valid()) return std::nullopt;
  const win32::Handle entry(openEntry(m_handle.value(), name, FILE_READ_ATTRIBUTES));
  return entry ? identityOf(entry.get()) : std::nullopt;
}

OpenFile FolderHandle::openFile(const std::string& name, const FolderId& expected) const {
  if (!valid()) return {};
  OpenFile file(win32::Handle(openEntry(m_handle.value(), name, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN)));
  if (!file.valid()) return {};
  const auto found = identityOf(win32::handleOf(file.handle()));
  if (!found || !(*found == EntryIdentity{expected, EntryKind::File})) return {};
  return file;
}

Removal FolderHandle::removeEntry(const std::string& name, const EntryIdentity& expected) const {
  if (!valid() || expected.kind == EntryKind::Folder) return Removal::Failed;
  // The entry is checked and deleted through the one handle, so what is deleted is what was checked.
  const win32::Handle entry(openEntry(m_handle.value(), name, DELETE | FILE_READ_ATTRIBUTES));
  if (!entry) return isMissing(GetLastError()) ? Removal::Gone : Removal::Failed;
  const auto found = identityOf(entry.get());
  if (!found || !(*found == expected)) return Removal::Changed;
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition))
    return Removal::Removed;
  return Removal::Failed;
}

}  // namespace halvik::platform
