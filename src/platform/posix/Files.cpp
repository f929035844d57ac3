// Single-file operations: attributes, length, copy, delete, create a folder, append a line.
#include "platform/Platform.h"
#include "platform/posix/Attributes.h"
#include "platform/posix/Descriptor.h"
#include "platform/posix/PathAt.h"
#include "platform/posix/TempFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
namespace {
constexpr std::size_t kCopyBuffer = 256 * 1024;

// The last name of `path`, ignoring trailing separators.
std::string_view lastName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos || path.size() == 1 ? path : path.substr(slash + 1);
}

// Reads `source` to its end into `target`. False on a read or write failure.
bool copyBytes(int source, posix::TempFile& target) {
  std::string buffer(kCopyBuffer, '\0');
  for (;;) {
    const ssize_t count = read(source, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) return true;
    if (!target.write(buffer.data(), static_cast<std::size_t>(count))) return false;
  }
}

// Gives an open file exactly `permissions.mode`, and their owner and group when the program runs
// as root (a refused change of owner leaves the file ours, with those bits).
bool applyPermissions(int fd, const FilePermissions& permissions) {
  if (geteuid() == 0) (void)!fchown(fd, permissions.owner, permissions.group);
  return fchmod(fd, permissions.mode & 0777) == 0;
}

// Copies the open regular file `source`, from its first byte, to `destination` through a
// temporary file beside it.
bool copyFrom(int source, const std::string& destination, CopyOptions options) {
  struct stat own;
  if (fstat(source, &own) != 0 || !S_ISREG(own.st_mode) || lseek(source, 0, SEEK_SET) != 0) return false;
  const posix::PathAt to(destination, posix::PathAt::Folder::Always);
  if (!to.ok()) return false;
  posix::TempFile output(to.folder(), options.ownerOnly || options.permissions);
  if (!output.ok() || !copyBytes(source, output)) return false;
  if (options.permissions && !applyPermissions(output.descriptor(), *options.permissions)) return false;
  return output.commit(to.name(), options.replace);
}
}  // namespace

std::optional<std::uint32_t> fileAttributes(const std::string& path) {
  const posix::PathAt at(path);
  if (!at.ok()) return std::nullopt;
  return posix::attributesAt(at.folder(), at.name(), lastName(path));
}

std::optional<std::uint64_t> fileLength(const std::string& path) {
  const auto status = fileStatus(path);
  if (!status) return std::nullopt;
  return status->size;
}

std::optional<FileStatus> fileStatus(const std::string& path) {
  const posix::PathAt at(path);
  struct stat own;
  if (!at.ok() || fstatat(at.folder(), at.name(), &own, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  FileStatus status{static_cast<std::uint64_t>(own.st_size), std::nullopt};
  if (S_ISREG(own.st_mode)) status.permissions = FilePermissions{own.st_mode & 0777u, own.st_uid, own.st_gid};
  return status;
}

bool copyFile(const std::string& source, const std::string& destination, CopyOptions options) {
  const posix::PathAt from(source);
  if (!from.ok()) return false;
  // Non-blocking so that a FIFO given as the source fails at once instead of waiting for a writer.
  const posix::Descriptor input(openat(from.folder(), from.name(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  return input.ok() && copyFrom(input.get(), destination, options);
}

bool copyOpenFile(const OpenFile& source, const std::string& destination, CopyOptions options) {
  return source.valid() && copyFrom(static_cast<int>(source.handle()), destination, options);
}

bool deleteFile(const std::string& path) {
  // unlink never removes a folder, and removes a symbolic link itself rather than its target.
  const posix::PathAt at(path);
  return at.ok() && unlinkat(at.folder(), at.name(), 0) == 0;
}

bool createFolder(const std::string& path) {
  const posix::PathAt at(path);
  if (!at.ok()) return false;
  if (mkdirat(at.folder(), at.name(), 0777) == 0) return true;
  return errno == EEXIST && posix::isFolderAt(at.folder(), at.name());
}

bool appendLine(const std::string& path, const std::string& line) {
  const posix::PathAt at(path);
  if (!at.ok()) return false;
  const std::string text = line + "\r\n";
  // Non-blocking so that a FIFO without a reader fails at once instead of hanging. A final
  // symbolic link is never followed (a dangling one never creates its target).
  const int fd = openat(at.folder(), at.name(),
                        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0666);
  if (fd < 0) return false;
  const ssize_t written = write(fd, text.data(), text.size());
  const bool closed = close(fd) == 0;
  return closed && written == static_cast<ssize_t>(text.size());
}

}  // namespace halvik::platform
