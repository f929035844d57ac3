#include "platform/posix/Attributes.h"

#include "platform/Platform.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace halvik::platform::posix {

namespace {
// Attribute bits of an entry from its own mode (not following a link) and, for a symbolic
// link, whether it points to a folder.
std::uint32_t attributesFromMode(mode_t mode, bool linkToFolder) {
  std::uint32_t attributes = 0;
  if (S_ISLNK(mode)) return kReparsePoint | (linkToFolder ? kFolder : 0u);
  if (S_ISDIR(mode))
    attributes |= kFolder;
  else if (!S_ISREG(mode))
    attributes |= kSystem;
  if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kReadOnly;
  return attributes;
}
}  // namespace

bool isFolderAt(int folder, const char* name) {
  struct stat target;
  return fstatat(folder, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
}

std::optional<std::uint32_t> attributesAt(int folder, const char* name) {
  struct stat own;
  if (fstatat(folder, name, &own, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return attributesFromMode(own.st_mode, S_ISLNK(own.st_mode) && isFolderAt(folder, name));
}

}  // namespace halvik::platform::posix
