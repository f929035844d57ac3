// Wildcard folder listing with Windows-style attribute bits.
#include "platform/Platform.h"
#include "platform/Wildcard.h"
#include "platform/posix/Attributes.h"
#include "platform/posix/PathAt.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace halvik::platform {
namespace {
constexpr std::uint32_t kMaskedKinds = kHidden | kSystem | kFolder;

// The kind bits that d_type tells without a stat, or nullopt when it tells nothing.
std::optional<std::uint32_t> kindOf(unsigned char type) {
  switch (type) {
    case DT_UNKNOWN: return std::nullopt;
    case DT_DIR: return kFolder;
    case DT_REG:
    case DT_LNK: return 0;
    default: return kSystem;
  }
}

// Attributes of one listed entry; nullopt when the entry is unwanted or has vanished. The
// cheap tests come first so that entries filtered out by the mask cost no stat.
std::optional<std::uint32_t> entryAttributes(int folder, const dirent& entry, std::uint32_t includeMask,
                                             ListDetail detail) {
  const auto kind = kindOf(entry.d_type);
  if (kind && (*kind & ~includeMask)) return std::nullopt;
  std::optional<std::uint32_t> attributes;
  if (kind && entry.d_type != DT_LNK && detail == ListDetail::Kinds) {
    attributes = *kind;
  } else if (entry.d_type == DT_LNK) {
    // A link's own permission bits are meaningless; only its target's kind matters.
    attributes = kReparsePoint | (posix::isFolderAt(folder, entry.d_name) ? kFolder : 0u);
  } else {
    attributes = posix::attributesAt(folder, entry.d_name);
    // In a folder without search permission the kind is all there is to know.
    if (!attributes && errno != ENOENT && kind) attributes = *kind;
  }
  if (!attributes || (*attributes & kMaskedKinds & ~includeMask)) return std::nullopt;
  return attributes;
}
}  // namespace

std::optional<std::vector<DirEntry>> listFolder(const std::string& folder, const std::string& pattern,
                                                std::uint32_t includeMask, ListDetail detail) {
  const posix::PathAt at(folder);
  if (!at.ok()) return std::nullopt;
  const int fd = openat(at.folder(), at.name(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return std::nullopt;
  }
  std::vector<DirEntry> entries;
  bool failed = false;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (!entry) {
      failed = errno != 0;
      break;
    }
    if (!matchesWildcard(entry->d_name, pattern)) continue;
    if (const auto attributes = entryAttributes(fd, *entry, includeMask, detail))
      entries.push_back(DirEntry{entry->d_name, *attributes});
  }
  closedir(dir);
  if (failed) return std::nullopt;
  return entries;
}

}  // namespace halvik::platform
