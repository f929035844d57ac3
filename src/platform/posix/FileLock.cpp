#include "platform/Platform.h"
#include "platform/posix/Handle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace halvik::platform {

// flock belongs to the open file description: a second open of the same file, even in this
// process, cannot take it while this one holds it, and the kernel drops it when the process ends.
FileLock FileLock::tryTake(const std::string& path) {
  posix::Handle fd(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
  if (!fd.ok()) return FileLock(Status::lastError());
  struct stat info {};
  if (fstat(fd.get(), &info) != 0) return FileLock(Status::lastError());
  if (!S_ISREG(info.st_mode)) return FileLock(Status::failure(EINVAL));
  if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return FileLock(Status::lastError());
  return FileLock(std::move(fd));
}

}  // namespace halvik::platform
