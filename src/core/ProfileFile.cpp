#include "core/ProfileFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace profile {
namespace {

constexpr std::size_t kMaxFileSize = std::size_t{1} << 30;
constexpr std::size_t kMaxNameLength = 255;

FileIdentity identityOf(const struct stat& st) {
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::int64_t>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
                      st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  ~Descriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return m_fd; }
  bool valid() const { return m_fd >= 0; }
  // Closes now and reports whether the close succeeded (a late write error shows here).
  bool close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
  }

 private:
  int m_fd;
};

int openRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do fd = ::open(path, flags, mode);
  while (fd < 0 && errno == EINTR);
  return fd;
}

bool readAll(int fd, Bytes& bytes) {
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (bytes.size() + static_cast<std::size_t>(n) > kMaxFileSize) return false;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
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

std::string temporaryPathIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  return folder + "/.halvik-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
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

// Writes `bytes` to a new temporary file in `folder` with the permission bits (and, where
// allowed, the owner) of `current`, flushed to disk. Returns its path, or nullopt.
std::optional<std::string> writeTemporary(const std::string& folder, std::string_view bytes, const FileContent& current) {
  const std::string temporary = temporaryPathIn(folder);
  Descriptor fd(openRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!fd.valid()) return std::nullopt;
  bool ok = true;
  if (current.status == FileContent::Status::Read) {
    if (::geteuid() == 0) (void)!::fchown(fd.get(), current.owner, current.group);
    ok = ::fchmod(fd.get(), current.mode) == 0;
  }
  ok = ok && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  ok = fd.close() && ok;
  if (!ok) {
    ::unlink(temporary.c_str());
    return std::nullopt;
  }
  return temporary;
}

bool syncFolder(const std::string& folder) {
  Descriptor fd(openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return false;
  return ::fsync(fd.get()) == 0 || errno == EINVAL;
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
  const std::int64_t age = (now.tv_sec - identity.modifiedSeconds) * 1000000000LL + (now.tv_nsec - identity.modifiedNanoseconds);
  return age < 2000000000LL;
}

FileContent readFile(const std::string& path) {
  FileContent content;
  Descriptor fd(openRetrying(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) {
    content.status = (errno == ENOENT || errno == ENOTDIR) ? FileContent::Status::Missing : FileContent::Status::Unreadable;
    return content;
  }
  content.status = FileContent::Status::Unreadable;
  // Another program may rewrite the file in place while it is read: read again until the
  // identity before and after the read agree, so the content matches the identity kept.
  for (int attempt = 0; attempt < 3; ++attempt) {
    struct stat before {}, after {};
    if (::fstat(fd.get(), &before) != 0 || !S_ISREG(before.st_mode)) return content;
    if (static_cast<std::uint64_t>(before.st_size) > kMaxFileSize) return content;
    content.bytes.clear();
    content.bytes.reserve(static_cast<std::size_t>(before.st_size));
    if (::lseek(fd.get(), 0, SEEK_SET) != 0 || !readAll(fd.get(), content.bytes)) return content;
    if (::fstat(fd.get(), &after) != 0) return content;
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

bool replaceFile(const std::string& path, const FileEdit& edit) {
  const auto target = writeTarget(path);
  if (!target) return false;
  Descriptor lock(openRetrying(lockPathOf(*target).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
  if (!lock.valid()) return false;
  int locked;
  do locked = ::flock(lock.get(), LOCK_EX);
  while (locked != 0 && errno == EINTR);
  if (locked != 0) return false;

  const FileContent current = readFile(*target);
  if (current.status == FileContent::Status::Unreadable) return false;
  const EditResult result = edit(current);
  if (result.kind != EditResult::Kind::Changed) return result.kind == EditResult::Kind::Unchanged;

  const std::string folder = folderOf(*target);
  const auto temporary = writeTemporary(folder, result.bytes, current);
  if (!temporary) return false;
  if (::rename(temporary->c_str(), target->c_str()) != 0) {
    ::unlink(temporary->c_str());
    return false;
  }
  return syncFolder(folder);
}

}  // namespace profile
