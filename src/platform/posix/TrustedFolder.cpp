#include "platform/TrustedFolder.h"

#include "platform/Status.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
namespace {
bool refuse(std::string* reason, const std::string& text) {
  if (reason) *reason = text;
  return false;
}

// One level of the resolved path: a folder of root or of the running user, closed to others.
bool isTrustedLevel(const std::string& level, std::string* reason) {
  struct stat st {};
  if (lstat(level.c_str(), &st) != 0) return refuse(reason, level + ": " + Status::lastError().text());
  if (!S_ISDIR(st.st_mode)) return refuse(reason, level + " is not a folder");
  if (st.st_uid != 0 && st.st_uid != geteuid()) return refuse(reason, level + " belongs to another user");
  const bool stickyRoot = st.st_uid == 0 && (st.st_mode & S_ISVTX);
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) && !stickyRoot)
    return refuse(reason, level + " is writable by group or others");
  return true;
}
}  // namespace

bool isTrustedFolder(const std::string& path, std::string* reason) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
  if (!resolved) return refuse(reason, path + ": " + Status::lastError().text());
  std::string level = resolved.get();
  for (;;) {
    if (!isTrustedLevel(level.empty() ? "/" : level, reason)) return false;
    if (level.empty() || level == "/") return true;
    level.resize(level.rfind('/'));
  }
}

}  // namespace halvik::platform
