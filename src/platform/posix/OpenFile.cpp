// A regular file held open for reading: a file descriptor.
#include "platform/Platform.h"

#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {

OpenFile::~OpenFile() {
  if (m_handle >= 0) close(static_cast<int>(m_handle));
}

OpenFile::OpenFile(OpenFile&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
  if (this != &other) {
    if (m_handle >= 0) close(static_cast<int>(m_handle));
    m_handle = other.m_handle;
    other.m_handle = -1;
  }
  return *this;
}

std::optional<FileStatus> OpenFile::status() const {
  struct stat own;
  if (m_handle < 0 || fstat(static_cast<int>(m_handle), &own) != 0) return std::nullopt;
  FileStatus status{static_cast<std::uint64_t>(own.st_size), std::nullopt};
  if (S_ISREG(own.st_mode)) status.permissions = FilePermissions{own.st_mode & 0777u, own.st_uid, own.st_gid};
  return status;
}

}  // namespace halvik::platform
