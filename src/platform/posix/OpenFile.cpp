// A regular file held open for reading: a file descriptor.
#include "platform/Platform.h"
#include "platform/posix/Handle.h"

#include <sys/stat.h>

namespace halvik::platform {

std::optional<FileStatus> OpenFile::status() const {
  struct stat own;
  if (!valid() || fstat(posix::descriptorOf(m_handle), &own) != 0) return std::nullopt;
  FileStatus status{static_cast<std::uint64_t>(own.st_size), std::nullopt};
  if (S_ISREG(own.st_mode)) status.permissions = FilePermissions{own.st_mode & 0777u, own.st_uid, own.st_gid};
  return status;
}

}  // namespace halvik::platform
