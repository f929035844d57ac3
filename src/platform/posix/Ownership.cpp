#include "platform/Ownership.h"

#include "platform/TrustedFolder.h"
#include "platform/posix/Handle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
bool isPrivate(const std::string& path) { return isTrustedPath(path); }

bool isOwnClosedFolder(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

Status createPrivateFile(const std::string& path) {
  const posix::Handle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (file.ok() || errno == EEXIST) return {};
  return Status::lastError();
}

}  // namespace halvik::platform
