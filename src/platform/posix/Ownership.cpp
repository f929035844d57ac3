#include "platform/Ownership.h"

#include "platform/posix/Handle.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
namespace {

bool ownedByUsOrRoot(const struct stat& st) { return st.st_uid == ::geteuid() || st.st_uid == 0; }

// Nobody but the owner may change what the level holds: not writable by group or others, or a
// folder of root with the sticky bit, where each may remove only their own entries.
bool closedToOthers(const struct stat& st) {
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) == 0) return true;
  return S_ISDIR(st.st_mode) && st.st_uid == 0 && (st.st_mode & S_ISVTX);
}

bool levelIsPrivate(const std::string& level) {
  struct stat st {};
  return ::lstat(level.c_str(), &st) == 0 && ownedByUsOrRoot(st) && closedToOthers(st);
}

}  // namespace

bool isPrivate(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return false;
  const std::string full(resolved);
  std::free(resolved);
  for (std::size_t end = full.find('/', 1); end != std::string::npos; end = full.find('/', end + 1))
    if (!levelIsPrivate(full.substr(0, end))) return false;
  return levelIsPrivate("/") && levelIsPrivate(full);
}

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
