#include "platform/Platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {

FileLock::~FileLock() {
  if (m_handle >= 0) close(static_cast<int>(m_handle));
}

FileLock::FileLock(FileLock&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (m_handle >= 0) close(static_cast<int>(m_handle));
    m_handle = other.m_handle;
    other.m_handle = -1;
  }
  return *this;
}

// flock belongs to the open file description: a second open of the same file, even in this
// process, cannot take it while this one holds it, and the kernel drops it when the process ends.
FileLock FileLock::tryTake(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) return FileLock();
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return FileLock();
  }
  return FileLock(fd);
}

}  // namespace halvik::platform
