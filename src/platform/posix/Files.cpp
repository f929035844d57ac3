// Single-file operations: attributes, length, delete, create a folder, append a line.
#include "platform/Platform.h"
#include "platform/posix/Attributes.h"
#include "platform/posix/Handle.h"
#include "platform/posix/PathAt.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
std::optional<std::uint32_t> fileAttributes(const std::string& path) {
  const posix::PathAt at(path);
  if (!at.ok()) return std::nullopt;
  return posix::attributesAt(at.folder(), at.name());
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
  posix::Handle file(openat(at.folder(), at.name(),
                            O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0666));
  if (!file.ok()) return Status::lastError();
  const ssize_t written = write(file.get(), text.data(), text.size());
  if (written < 0) return Status::lastError();
  if (close(static_cast<int>(file.release())) != 0) return Status::lastError();
  return written == static_cast<ssize_t>(text.size()) ? Status() : Status::failure(EIO);
}

}  // namespace halvik::platform
