#include "platform/posix/TempFileSweep.h"

#include "platform/TempFileName.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace halvik::platform::posix {
namespace {

std::int64_t secondsOn(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return now.tv_sec;
}

// A folder as the sweeps remember it. Its birth time, where the file system keeps one, tells
// a new folder that reuses the inode of a removed one from the folder swept before.
struct FolderKey {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t bornSeconds = 0;
  std::uint32_t bornNanoseconds = 0;
  bool operator==(const FolderKey&) const = default;
};

std::optional<FolderKey> keyOf(int folder) {
  struct statx own;
  if (statx(folder, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &own) != 0) return std::nullopt;
  FolderKey key{makedev(own.stx_dev_major, own.stx_dev_minor), own.stx_ino, 0, 0};
  if (own.stx_mask & STATX_BTIME) {
    key.bornSeconds = own.stx_btime.tv_sec;
    key.bornNanoseconds = own.stx_btime.tv_nsec;
  }
  return key;
}

// True when the folder was not swept within the last minute; then notes it as swept now.
bool sweepDue(const FolderKey& folder) {
  struct Swept {
    FolderKey folder;
    std::int64_t at = 0;
  };
  static std::mutex mutex;
  static std::array<Swept, 16> swept;
  static std::size_t next = 0;
  const std::int64_t now = secondsOn(CLOCK_MONOTONIC);
  std::lock_guard lock(mutex);
  for (Swept& entry : swept) {
    if (!(entry.folder == folder)) continue;
    if (now - entry.at < kStaleTemporarySeconds) return false;
    entry.at = now;
    return true;
  }
  swept[next++ % swept.size()] = Swept{folder, now};
  return true;
}

void removeIfStale(int folder, const char* name, std::int64_t now) {
  struct stat entry;
  if (fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (!S_ISREG(entry.st_mode) || entry.st_uid != geteuid()) return;
  if (now - entry.st_mtim.tv_sec > kStaleTemporarySeconds) unlinkat(folder, name, 0);
}

}  // namespace

void sweepStaleTemporaries(int folder) {
  const auto key = keyOf(folder);
  if (!key || !sweepDue(*key)) return;
  const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* entries = fdopendir(listing);
  if (!entries) {
    close(listing);
    return;
  }
  const std::int64_t now = secondsOn(CLOCK_REALTIME);
  while (const dirent* entry = readdir(entries)) {
    if (isTemporaryName(entry->d_name)) removeIfStale(folder, entry->d_name, now);
  }
  closedir(entries);
}

}  // namespace halvik::platform::posix
