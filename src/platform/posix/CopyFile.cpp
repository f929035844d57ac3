// Whole-file copies that never leave a partial destination.
#include "platform/Platform.h"
#include "platform/posix/Handle.h"
#include "platform/posix/PathAt.h"
#include "platform/posix/TempFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
namespace {
constexpr std::size_t kCopyBuffer = 256 * 1024;

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
  const posix::WriteOptions write{.ownerOnly = options.ownerOnly || options.permissions.has_value(),
                                  .replace = options.replace,
                                  .flush = options.flush};
  return posix::writeAtomically(destination, write, [&](posix::TempFile& output) {
    if (Status copied = copyBytes(source, output); !copied) return copied;
    return options.permissions ? applyPermissions(output.descriptor(), *options.permissions) : Status();
  });
}
}  // namespace

Status copyFile(const std::string& source, const std::string& destination, CopyOptions options) {
  const posix::PathAt from(source);
  if (!from.ok()) return from.status();
  // Non-blocking so that a FIFO given as the source fails at once instead of waiting for a writer.
  const posix::Handle input(openat(from.folder(), from.name(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!input.ok()) return Status::lastError();
  return copyFrom(input.get(), destination, options);
}

Status flushFile(const std::string& path) {
  const posix::PathAt at(path);
  if (!at.ok()) return at.status();
  const posix::Handle file(openat(at.folder(), at.name(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!file.ok()) return Status::lastError();
  return fsync(file.get()) == 0 ? Status() : Status::lastError();
}

Status copyOpenFile(const OpenFile& source, const std::string& destination, CopyOptions options) {
  if (!source.valid()) return Status::failure(EBADF);
  return copyFrom(static_cast<int>(source.handle()), destination, options);
}

}  // namespace halvik::platform
