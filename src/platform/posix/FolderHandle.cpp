// Folders held open for a walk: entries are reached relative to the open folder (openat,
// fdopendir, fstatat), so neither the depth of a tree nor the length of its paths limits it.
#include "platform/DirEntries.h"
#include "platform/Platform.h"
#include "platform/Wildcard.h"
#include "platform/posix/Attributes.h"
#include "platform/posix/Handle.h"
#include "platform/posix/PathAt.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace halvik::platform {
namespace {
constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;

// The attribute bits of a listed entry other than read-only: from its d_type, with a look at
// the entry only when the file system leaves d_type unknown; a link is a link, whatever it leads
// to. nullopt when the entry vanished meanwhile.
std::optional<std::uint32_t> listedAttributes(int folder, const char* name, unsigned char type) {
  switch (type) {
    case DT_DIR: return kFolder;
    case DT_REG: return 0u;
    case DT_LNK: return kReparsePoint;
    case DT_UNKNOWN: {
      const auto attributes = posix::attributesAt(folder, name);
      if (!attributes) return std::nullopt;
      if (*attributes & kReparsePoint) return kReparsePoint;
      return *attributes & ~static_cast<std::uint32_t>(kReadOnly);
    }
    default: return kSystem;
  }
}

EntryKind kindOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::File;
  if (S_ISDIR(mode)) return EntryKind::Folder;
  if (S_ISLNK(mode)) return EntryKind::Link;
  return EntryKind::Other;
}

EntryIdentity identityOf(const struct stat& status) {
  return {{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)},
          kindOf(status.st_mode)};
}

// True when the file system of the open folder `fd` lists each entry with the inode number a
// look at the entry gives (the folder's own file system: a mount point below is another).
bool listsExactIds(const posix::Handle& fd) {
  struct statfs system;
  if (fstatfs(fd.get(), &system) != 0) return false;
  switch (system.f_type) {
    case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case TMPFS_MAGIC: return true;
    default: return false;
  }
}

// The subfolder `name` of `folder` opened only where that crosses no mount point (and no link):
// -1 otherwise, or where the system cannot tell.
int openOnSameMount(int folder, const char* name) {
  open_how how{};
  how.flags = kOpenFlags | O_NOFOLLOW;
  how.resolve = RESOLVE_NO_XDEV | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
  return static_cast<int>(syscall(SYS_openat2, folder, name, &how, sizeof how));
}

// The identity of the open folder `fd`, or nullopt when it cannot be read.
std::optional<FolderId> identifyFolder(const posix::Handle& fd) {
  struct stat status;
  if (!fd.ok() || fstat(fd.get(), &status) != 0) return std::nullopt;
  return FolderId{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}
}  // namespace

FolderHandle FolderHandle::open(const std::string& path) {
  const posix::PathAt at(path.empty() ? std::string(".") : path);
  posix::Handle fd(at.ok() ? openat(at.folder(), at.name(), kOpenFlags) : -1);
  const auto id = identifyFolder(fd);
  if (!id) return {};
  const bool exact = listsExactIds(fd);
  return FolderHandle(std::move(fd), *id, exact);
}

FolderHandle FolderHandle::openChild(const std::string& name, bool* otherFileSystem, std::uint64_t listedId) const {
  if (otherFileSystem) *otherFileSystem = false;
  if (!valid()) return {};
  if (listedId != 0 && m_exactListedIds) {
    // On the same mount, the same file system: the listing's inode number is the folder's.
    posix::Handle fd(openOnSameMount(posix::descriptorOf(m_handle), name.c_str()));
    if (fd.ok()) return FolderHandle(std::move(fd), {m_id.device, listedId}, true);
  }
  posix::Handle fd(openat(posix::descriptorOf(m_handle), name.c_str(), kOpenFlags | O_NOFOLLOW));
  const auto id = identifyFolder(fd);
  if (!id) return {};
  if (id->device != m_id.device) {
    if (otherFileSystem) *otherFileSystem = true;
    return {};
  }
  return FolderHandle(std::move(fd), *id);
}

FolderHandle FolderHandle::openParent(const FolderId& expected) const {
  if (!valid()) return {};
  posix::Handle fd(openat(posix::descriptorOf(m_handle), "..", kOpenFlags));
  const auto id = identifyFolder(fd);
  if (!id || !(*id == expected)) return {};
  return FolderHandle(std::move(fd), *id);
}

bool FolderHandle::listInto(DirEntries& into, const std::string& pattern, std::uint32_t includeMask) const {
  into.clear();
  if (!valid()) return false;
  // Read straight from the folder's own descriptor, rewound when listed before so that listing
  // twice starts from the top: no second descriptor, no stream to set up for every folder of a walk.
  const int fd = posix::descriptorOf(m_handle);
  if (m_listed && lseek(fd, 0, SEEK_SET) != 0) return false;
  m_listed = true;
  const bool everything = pattern == "*.*" || pattern == "*";
  alignas(dirent64) char buffer[32768];
  for (ssize_t read; (read = getdents64(fd, buffer, sizeof buffer)) != 0;) {
    if (read < 0) return false;
    for (ssize_t at = 0; at < read;) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
      at += entry->d_reclen;
      const std::string_view name(entry->d_name);
      if (name == "." || name == "..") continue;
      if (!everything && !matchesWildcard(entry->d_name, pattern)) continue;
      const auto attributes = listedAttributes(fd, entry->d_name, entry->d_type);
      if (!attributes || (*attributes & (kHidden | kSystem | kFolder) & ~includeMask)) continue;
      into.add(name, *attributes, entry->d_ino);
    }
  }
  return true;
}

std::optional<std::uint32_t> FolderHandle::attributesOf(const std::string& name) const {
  if (!valid()) return std::nullopt;
  return posix::attributesAt(posix::descriptorOf(m_handle), name.c_str());
}

std::optional<EntryIdentity> FolderHandle::identify(const std::string& name) const {
  struct stat status;
  if (!valid() || fstatat(posix::descriptorOf(m_handle), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
    return std::nullopt;
  return identityOf(status);
}

OpenFile FolderHandle::openFile(const std::string& name, const FolderId& expected) const {
  if (!valid()) return {};
  // Non-blocking so that a FIFO put in the file's place fails at once instead of waiting for a writer.
  OpenFile file(posix::Handle(
      openat(posix::descriptorOf(m_handle), name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW)));
  struct stat status;
  if (!file.valid() || fstat(static_cast<int>(file.handle()), &status) != 0) return {};
  if (!(identityOf(status) == EntryIdentity{expected, EntryKind::File})) return {};
  return file;
}

Removal FolderHandle::removeEntry(const std::string& name, const EntryIdentity& expected) const {
  if (expected.kind == EntryKind::Folder) return Removal::Failed;
  const auto found = identify(name);
  if (!found) return Removal::Gone;
  if (!(*found == expected)) return Removal::Changed;
  // unlinkat without AT_REMOVEDIR never removes a folder, and removes a link itself.
  if (unlinkat(posix::descriptorOf(m_handle), name.c_str(), 0) == 0) return Removal::Removed;
  return errno == ENOENT ? Removal::Gone : Removal::Failed;
}

}  // namespace halvik::platform
