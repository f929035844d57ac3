#include "platform/PathTrust.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
namespace {

bool levelTrusted(const std::string& level, bool last) {
  struct stat st {};
  if (lstat(level.c_str(), &st) != 0) return false;
  if (st.st_uid != 0 && st.st_uid != geteuid()) return false;
  if (last && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return false;
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) == 0) return true;
  return S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) && st.st_uid == 0 && !last;
}

}  // namespace

bool pathTrusted(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), std::free);
  if (!resolved) return false;
  const std::string full = resolved.get();
  if (!levelTrusted("/", full == "/")) return false;
  for (std::size_t end = full.find('/', 1); full != "/"; end = full.find('/', end + 1)) {
    if (!levelTrusted(full.substr(0, end), end == std::string::npos)) return false;
    if (end == std::string::npos) break;
  }
  return true;
}

}  // namespace halvik::platform
