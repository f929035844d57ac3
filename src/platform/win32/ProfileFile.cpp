// The file side of profile access on Windows: whole-file reads with the file's identity, and
// atomic replacement (temporary file, flush, rename over the original) under a lock on a
// sidecar lock file shared with other running copies.
#include "platform/ProfileFile.h"

#include "platform/win32/Handle.h"
#include "platform/win32/TempFile.h"

#include <cerrno>
#include <string_view>

namespace halvik::platform {
namespace {
using platform::win32::Handle;

constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 30;
constexpr std::int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns ticks
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// errno as the callers test it: ENOENT when the file or its folder does not exist.
void setErrno(DWORD error) {
  errno = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? ENOENT : EACCES;
}

std::int64_t ticksOf(std::int64_t high, std::int64_t low) { return (high << 32) | low; }

std::optional<FileIdentity> identityOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO times;
  if (!GetFileInformationByHandle(file, &info) ||
      !GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times))
    return std::nullopt;
  const std::int64_t modified = ticksOf(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
  const std::int64_t changed = times.ChangeTime.QuadPart;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                      static_cast<std::int64_t>(ticksOf(info.nFileSizeHigh, info.nFileSizeLow)),
                      modified / kTicksPerSecond,
                      modified % kTicksPerSecond * 100,
                      changed / kTicksPerSecond,
                      changed % kTicksPerSecond * 100};
}

bool readAll(HANDLE file, std::string& bytes) {
  char chunk[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) return false;
    if (got == 0) return true;
    if (bytes.size() + got > kMaxFileSize) return false;
    bytes.append(chunk, got);
  }
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

// The file a write replaces: `path` itself, or the target of the symbolic link it names.
std::optional<std::string> writeTarget(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  Handle file(CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  std::string target(MAX_PATH, '\0');
  DWORD length = GetFinalPathNameByHandleA(file.get(), target.data(), MAX_PATH, FILE_NAME_NORMALIZED);
  if (length >= MAX_PATH) {
    target.assign(length + 1, '\0');
    length = GetFinalPathNameByHandleA(file.get(), target.data(), length + 1, FILE_NAME_NORMALIZED);
  }
  if (length == 0 || length >= target.size()) return std::nullopt;
  target.resize(length);
  return target;
}

// Writes `bytes` to a new temporary file in `folder`, flushed to disk, with the attributes
// (hidden, system, archive) of the current file. Returns its path, or nullopt.
std::optional<std::string> writeTemporary(const std::string& folder, std::string_view bytes,
                                          const FileContent& current) {
  std::string temporary;
  bool ok = false;
  {
    Handle file(platform::win32::createTemporaryIn(folder, temporary));
    if (!file) return std::nullopt;
    DWORD written = 0;
    ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && FlushFileBuffers(file.get());
  }
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  if (ok && current.status == FileContent::Status::Read && (current.mode & kKept))
    ok = SetFileAttributesA(temporary.c_str(), current.mode & kKept);
  if (!ok) {
    DeleteFileA(temporary.c_str());
    return std::nullopt;
  }
  return temporary;
}

// Holds an exclusive lock on the sidecar lock file "<file>.lock" while it lives. A reparse
// point there is opened as itself and refused: the lock never goes through a link.
class SidecarLock {
 public:
  explicit SidecarLock(const std::string& target)
      : m_file(CreateFileA((target + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)) {
    BY_HANDLE_FILE_INFORMATION info;
    OVERLAPPED whole{};
    m_locked = m_file && GetFileInformationByHandle(m_file.get(), &info) &&
               !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
               LockFileEx(m_file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole);
  }
  bool locked() const { return m_locked; }

 private:
  Handle m_file;  // closing the handle releases the lock
  bool m_locked = false;
};
}  // namespace

std::optional<FileIdentity> fileIdentity(const std::string& path) {
  Handle file(CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) {
    setErrno(GetLastError());
    return std::nullopt;
  }
  return identityOf(file.get());
}

bool recentlyModified(const FileIdentity& identity) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::int64_t modified = identity.modifiedSeconds * kTicksPerSecond + identity.modifiedNanoseconds / 100;
  return ticksOf(now.dwHighDateTime, now.dwLowDateTime) - modified < 2 * kTicksPerSecond;
}

FileContent readFile(const std::string& path) {
  FileContent content;
  Handle file(CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                          nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    content.status = missing ? FileContent::Status::Missing : FileContent::Status::Unreadable;
    return content;
  }
  content.status = FileContent::Status::Unreadable;
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return content;
  // Another program may rewrite the file in place while it is read: read again until the
  // identity before and after the read agree, so the content matches the identity kept.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto before = identityOf(file.get());
    if (!before || static_cast<std::uint64_t>(before->size) > kMaxFileSize) return content;
    content.bytes.clear();
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) || !readAll(file.get(), content.bytes))
      return content;
    const auto after = identityOf(file.get());
    if (!after) return content;
    content.identity = *after;
    content.mode = GetFileAttributesA(path.c_str());
    content.status = FileContent::Status::Read;
    if (*before == *after) break;
  }
  return content;
}

bool hasFolder(const std::string& path) { return path.find_first_of("\\/") != std::string::npos; }

bool replaceFile(const std::string& path, const FileEdit& edit) {
  const auto target = writeTarget(path);
  if (!target) return false;
  const SidecarLock lock(*target);
  if (!lock.locked()) return false;

  const FileContent current = readFile(*target);
  if (current.status == FileContent::Status::Unreadable) return false;
  const EditResult result = edit(current);
  if (result.kind != EditResult::Kind::Changed) return result.kind == EditResult::Kind::Unchanged;

  const auto temporary = writeTemporary(folderOf(*target), result.bytes, current);
  if (!temporary) return false;
  // The rename replaces the original in one step; a read-only original is refused, as the
  // system refuses to write it.
  if (MoveFileExA(temporary->c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(temporary->c_str());
  return false;
}

}  // namespace halvik::platform
