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

// Reads `source` to its end into `target`.
Status copyBytes(int source, posix::TempFile& target) {
  std::string buffer(kCopyBuffer, '\0');
  for (;;) {
    const ssize_t count = read(source, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return Status::lastError();
    if (count == 0) return {};
    if (Status written = target.write(buffer.data(), static_cast<std::size_t>(count)); !written) return written;
  }
}

// Gives an open file exactly `permissions.mode`, and their owner and group when the program runs
// as root (a refused change of owner leaves the file ours, with those bits).
Status applyPermissions(int fd, const FilePermissions& permissions) {
  if (geteuid() == 0) (void)!fchown(fd, permissions.owner, permissions.group);
  return fchmod(fd, permissions.mode & 0777) == 0 ? Status() : Status::lastError();
}

// Copies the open regular file `source`, from its first byte, to `destination` through a
// temporary file beside it. Anything but a regular file is refused as an invalid argument.
Status copyFrom(int source, const std::string& destination, CopyOptions options) {
  struct stat own;
  if (fstat(source, &own) != 0) return Status::lastError();
  if (!S_ISREG(own.st_mode)) return Status::failure(EINVAL);
  if (lseek(source, 0, SEEK_SET) != 0) return Status::lastError();
  const posix::WriteOptions write{.ownerOnly = options.ownerOnly || options.permissions.has_value(), .replace = options.replace};
  return posix::writeAtomically(destination, write, [&](posix::TempFile& output) {
    if (Status copied = copyBytes(source, output); !copied) return copied;
    return options.permissions ? applyPermissions(output.descriptor(), *options.permissions) : Status();
  });
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

Status copyFile(const std::string& source, const std::string& destination, CopyOptions options) {
  const posix::PathAt from(source);
  if (!from.ok()) return from.status();
  // Non-blocking so that a FIFO given as the source fails at once instead of waiting for a writer.
  const posix::Descriptor input(openat(from.folder(), from.name(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!input.ok()) return Status::lastError();
  return copyFrom(input.get(), destination, options);
}

Status copyOpenFile(const OpenFile& source, const std::string& destination, CopyOptions options) {
  if (!source.valid()) return Status::failure(EBADF);
  return copyFrom(static_cast<int>(source.handle()), destination, options);
}

Status deleteFile(const std::string& path) {
  // unlink never removes a folder, and removes a symbolic link itself rather than its target.
  const posix::PathAt at(path);
  if (!at.ok()) return at.status();
  return unlinkat(at.folder(), at.name(), 0) == 0 ? Status() : Status::lastError();
}

Status createFolder(const std::string& path) {
  const posix::PathAt at(path);
  if (!at.ok()) return at.status();
  if (mkdirat(at.folder(), at.name(), 0777) == 0) return {};
  const Status failed = Status::lastError();
  return failed.code() == EEXIST && posix::isFolderAt(at.folder(), at.name()) ? Status() : failed;
}

Status appendLine(const std::string& path, const std::string& line) {
  const posix::PathAt at(path);
  if (!at.ok()) return at.status();
  const std::string text = line + "\r\n";
  // Non-blocking so that a FIFO without a reader fails at once instead of hanging. A final
  // symbolic link is never followed (a dangling one never creates its target).
  posix::Descriptor file(openat(at.folder(), at.name(),
                                O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0666));
  if (!file.ok()) return Status::lastError();
  const ssize_t written = write(file.get(), text.data(), text.size());
  if (written < 0) return Status::lastError();
  if (close(static_cast<int>(file.release())) != 0) return Status::lastError();
  return written == static_cast<ssize_t>(text.size()) ? Status() : Status::failure(EIO);
}

}  // namespace halvik::platform
