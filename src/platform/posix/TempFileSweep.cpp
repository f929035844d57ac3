#include "platform/posix/TempFileSweep.h"

#include "platform/TempFileName.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {
namespace {

std::int64_t secondsOn(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return now.tv_sec;
}

// True when the folder was not swept within the last minute; then notes it as swept now.
bool sweepDue(const struct stat& folder) {
  struct Swept {
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t at = 0;
  };
  static std::mutex mutex;
  static std::array<Swept, 16> swept;
  static std::size_t next = 0;
  const std::int64_t now = secondsOn(CLOCK_MONOTONIC);
  std::lock_guard lock(mutex);
  for (Swept& entry : swept) {
    if (entry.device != folder.st_dev || entry.inode != folder.st_ino) continue;
    if (now - entry.at < kStaleTemporarySeconds) return false;
    entry.at = now;
    return true;
  }
  swept[next++ % swept.size()] = Swept{folder.st_dev, folder.st_ino, now};
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
  struct stat own;
  if (fstat(folder, &own) != 0 || !sweepDue(own)) return;
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

}  // namespace platform::posix
