// The file side of profile access on Windows: whole-file reads with the file's identity, and
// atomic replacement (temporary file, flush, rename over the original) under a lock on a
// sidecar lock file shared with other running copies.
#include "platform/ProfileFile.h"

#include "platform/SystemText.h"
#include "platform/win32/Handle.h"
#include "platform/win32/TempFile.h"

#include <cerrno>

namespace halvik::platform {
namespace {
using win32::Handle;

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
    if (bytes.size() + got > kMaxFileSize) {
      SetLastError(ERROR_FILE_TOO_LARGE);
      return false;
    }
    bytes.append(chunk, got);
  }
}

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

// Holds an exclusive lock on the sidecar lock file "<file>.lock" while it lives. A reparse
// point there is opened as itself and refused: the lock never goes through a link.
class SidecarLock {
 public:
  explicit SidecarLock(const std::string& target)
      : m_file(CreateFileA((target + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)) {
    BY_HANDLE_FILE_INFORMATION info;
    OVERLAPPED whole{};
    if (!m_file || !GetFileInformationByHandle(m_file.get(), &info))
      m_status = Status::lastError();
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
      m_status = Status::failure(ERROR_ACCESS_DENIED);
    else if (!LockFileEx(m_file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole))
      m_status = Status::lastError();
  }
  // Success while the lock is held; otherwise why it could not be taken.
  const Status& status() const { return m_status; }

 private:
  Handle m_file;  // closing the handle releases the lock
  Status m_status;
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
  Handle file(
      CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    content.error = lastErrorCode();
    const bool missing = content.error == ERROR_FILE_NOT_FOUND || content.error == ERROR_PATH_NOT_FOUND;
    content.status = missing ? FileContent::Status::Missing : FileContent::Status::Unreadable;
    return content;
  }
  content.status = FileContent::Status::Unreadable;
  const auto unreadable = [&content](std::uint32_t error) {
    content.error = error;
    return content;
  };
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return unreadable(ERROR_INVALID_FUNCTION);
  // Another program may rewrite the file in place while it is read: read again until the
  // identity before and after the read agree, so the content matches the identity kept.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto before = identityOf(file.get());
    if (!before) return unreadable(lastErrorCode());
    if (static_cast<std::uint64_t>(before->size) > kMaxFileSize) return unreadable(ERROR_FILE_TOO_LARGE);
    content.bytes.clear();
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) || !readAll(file.get(), content.bytes))
      return unreadable(lastErrorCode());
    const auto after = identityOf(file.get());
    if (!after) return unreadable(lastErrorCode());
    content.identity = *after;
    content.mode = GetFileAttributesA(path.c_str());
    content.status = FileContent::Status::Read;
    if (*before == *after) break;
  }
  return content;
}

bool hasFolder(const std::string& path) { return path.find_first_of("\\/") != std::string::npos; }

Status replaceFile(const std::string& path, const FileEdit& edit, Growth /*growth*/) {
  const auto target = writeTarget(path);
  if (!target) return Status::lastError();
  const SidecarLock lock(*target);
  if (!lock.status()) return lock.status();

  const FileContent current = readFile(*target);
  if (current.status == FileContent::Status::Unreadable) return Status::failure(current.error);
  const EditResult result = edit(current);
  if (result.kind == EditResult::Kind::Rejected) return Status::failure(ERROR_INVALID_PARAMETER);
  if (result.kind == EditResult::Kind::Unchanged) return {};

  // The new file gets the hidden, system and archive attributes of the current one. The move
  // replaces the original in one step; a read-only original is refused, as the system refuses
  // to write it.
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  const win32::WriteOptions options{.attributes =
                                        current.status == FileContent::Status::Read ? current.mode & kKept : 0};
  return win32::writeAtomically(*target, options, [&result](win32::TempFile& temporary) {
    return temporary.write(result.bytes.data(), result.bytes.size());
  });
}

}  // namespace halvik::platform
