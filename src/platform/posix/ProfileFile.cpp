#include "platform/ProfileFile.h"

#include "platform/SystemText.h"
#include "platform/posix/Handle.h"
#include "platform/posix/TempFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
namespace {

using platform::posix::Handle;

constexpr std::size_t kMaxFileSize = std::size_t{1} << 30;
constexpr std::size_t kMaxNameLength = 255;

FileIdentity identityOf(const struct stat& st) {
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                      static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::int64_t>(st.st_size),
                      st.st_mtim.tv_sec,
                      st.st_mtim.tv_nsec,
                      st.st_ctim.tv_sec,
                      st.st_ctim.tv_nsec};
}

int openRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do fd = ::open(path, flags, mode);
  while (fd < 0 && errno == EINTR);
  return fd;
}

bool readAll(int fd, std::string& bytes) {
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (bytes.size() + static_cast<std::size_t>(n) > kMaxFileSize) {
      errno = EFBIG;
      return false;
    }
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The sidecar lock file: "<file>.lock", or a hashed name when that would be too long a name.
std::string lockPathOf(const std::string& path) {
  const std::string name = nameOf(path);
  if (name.size() + 5 <= kMaxNameLength) return path + ".lock";
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return folderOf(path) + "/.halvik-" + hex + ".lock";
}

// The file a write replaces: `path` itself, or the target of the symbolic link it names.
std::optional<std::string> writeTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return std::nullopt;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// Gives a new file the permission bits (and, where allowed, the owner) of `current`.
Status keepPermissions(int fd, const FileContent& current) {
  if (current.status != FileContent::Status::Read) return {};
  if (::geteuid() == 0) (void)!::fchown(fd, current.owner, current.group);
  return ::fchmod(fd, current.mode) == 0 ? Status() : Status::lastError();
}

// Writes `bytes` to a temporary file beside `target`, flushed, then renames it over `target`
// and flushes the folder.
Status writeInPlaceOf(const std::string& target, std::string_view bytes, const FileContent& current) {
  const posix::WriteOptions options{.syncFolder = true};
  return posix::writeAtomically(target, options, [&](posix::TempFile& temporary) {
    if (Status kept = keepPermissions(temporary.descriptor(), current); !kept) return kept;
    return temporary.write(bytes.data(), bytes.size());
  });
}

// Appends `added` to `target` in place and flushes it, provided `target` is still the file
// whose content is `current`; nullopt when it is not (then nothing was written).
std::optional<Status> appendInPlace(const std::string& target, std::string_view added, const FileContent& current) {
  Handle fd(openRetrying(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  if (!fd.ok() || ::fstat(fd.get(), &st) != 0 || !(identityOf(st) == current.identity)) return std::nullopt;
  while (!added.empty()) {
    const ssize_t written = ::write(fd.get(), added.data(), added.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? Status::lastError() : Status::failure(EIO);
    added.remove_prefix(static_cast<std::size_t>(written));
  }
  return ::fdatasync(fd.get()) == 0 ? Status() : Status::lastError();
}

bool onlyAdds(const FileContent& current, const std::string& bytes) {
  return current.status == FileContent::Status::Read && !current.bytes.empty() && bytes.size() > current.bytes.size() &&
         std::string_view(bytes).starts_with(current.bytes);
}

}  // namespace

std::optional<FileIdentity> fileIdentity(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return identityOf(st);
}

bool recentlyModified(const FileIdentity& identity) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::int64_t age =
      (now.tv_sec - identity.modifiedSeconds) * 1000000000LL + (now.tv_nsec - identity.modifiedNanoseconds);
  return age < 2000000000LL;
}

FileContent readFile(const std::string& path) {
  FileContent content;
  Handle fd(openRetrying(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.ok()) {
    content.status =
        (errno == ENOENT || errno == ENOTDIR) ? FileContent::Status::Missing : FileContent::Status::Unreadable;
    content.error = lastErrorCode();
    return content;
  }
  content.status = FileContent::Status::Unreadable;
  const auto unreadable = [&content](std::uint32_t error) {
    content.error = error;
    return content;
  };
  // Another program may rewrite the file in place while it is read: read again until the
  // identity before and after the read agree, so the content matches the identity kept.
  for (int attempt = 0; attempt < 3; ++attempt) {
    struct stat before {
    }, after{};
    if (::fstat(fd.get(), &before) != 0) return unreadable(lastErrorCode());
    if (!S_ISREG(before.st_mode)) return unreadable(S_ISDIR(before.st_mode) ? EISDIR : EINVAL);
    if (static_cast<std::uint64_t>(before.st_size) > kMaxFileSize) return unreadable(EFBIG);
    content.bytes.clear();
    content.bytes.reserve(static_cast<std::size_t>(before.st_size));
    if (::lseek(fd.get(), 0, SEEK_SET) != 0 || !readAll(fd.get(), content.bytes)) return unreadable(lastErrorCode());
    if (::fstat(fd.get(), &after) != 0) return unreadable(lastErrorCode());
    content.identity = identityOf(after);
    content.mode = after.st_mode & 07777;
    content.owner = after.st_uid;
    content.group = after.st_gid;
    content.status = FileContent::Status::Read;
    if (identityOf(before) == content.identity) break;
  }
  return content;
}

bool hasFolder(const std::string& path) {
#ifdef _WIN32
  return path.find_first_of("\\/") != std::string::npos;
#else
  return path.find('/') != std::string::npos;
#endif
}

Status replaceFile(const std::string& path, const FileEdit& edit, Growth growth) {
  const auto target = writeTarget(path);
  if (!target) return Status::lastError();
  // Never through a link: a link planted there would make us create or lock another file.
  constexpr int kLockFlags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;
  Handle lock(openRetrying(lockPathOf(*target).c_str(), kLockFlags, 0666));
  if (!lock.ok()) return Status::lastError();
  int locked;
  do locked = ::flock(lock.get(), LOCK_EX);
  while (locked != 0 && errno == EINTR);
  if (locked != 0) return Status::lastError();

  const FileContent current = readFile(*target);
  if (current.status == FileContent::Status::Unreadable) return Status::failure(current.error);
  const EditResult result = edit(current);
  if (result.kind == EditResult::Kind::Rejected) return Status::failure(EINVAL);
  if (result.kind == EditResult::Kind::Unchanged) return {};

  if (growth == Growth::Append && onlyAdds(current, result.bytes)) {
    const auto appended = appendInPlace(*target, std::string_view(result.bytes).substr(current.bytes.size()), current);
    if (appended) return *appended;
  }
  return writeInPlaceOf(*target, result.bytes, current);
}

}  // namespace halvik::platform
