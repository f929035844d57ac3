#pragma once

#include "platform/ProfileFile.h"
#include "profile/ProfileDocument.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace halvik::profile {

// Parsed profile files kept in memory, answered from while the file on disk is unchanged.
// A file is examined again (device, inode, size, modification and change times) once its
// copy is 100 ms old, and parsed anew when anything differs. After a write of our own every
// copy is examined before its next use. A change that leaves all of these as they were is
// possible only within the resolution of the file system's timestamps, after we last saw
// them change: so a file whose timestamps cannot vouch for it (see recentlyModified) is
// parsed once more at the first check two seconds after we first saw its present identity,
// by the environment's monotonic clock, and never again while that identity holds, whatever
// its dates say. Callers thus see what a fresh read would give, except that another program's edit may
// take up to 100 ms to show (two seconds when it leaves every timestamp as it was).
class ProfileCache {
 public:
  static constexpr std::int64_t kCheckIntervalNs = 100'000'000;
  static constexpr std::int64_t kSettleNs = 2'000'000'000;
  static constexpr std::size_t kMaxFiles = 8;

  static ProfileCache& instance();

  // Calls `use` with the parsed file `path` names (null when it is missing or unreadable)
  // and returns its result. The document is valid only during the call.
  template <typename Use>
  auto use(const std::string& path, Use&& use) {
    std::lock_guard lock(m_mutex);
    return use(current(path));
  }

  // Makes every copy be examined before its next use: called after each write of our own.
  void checkAllBeforeNextUse();

  // How many times a file was read and parsed since the start: tests tell from it when the
  // cache answers from memory.
  std::uint64_t parses();

 private:
  struct CachedFile {
    std::string path;
    std::unique_ptr<const ProfileDocument> document;  // null: missing or unreadable
    std::optional<platform::FileIdentity> identity;
    std::int64_t checkedAt = 0;  // on the monotonic clock, in nanoseconds
    std::int64_t seenAt = 0;     // when `identity` was first seen, on the same clock
    bool settled = false;        // no change can hide behind `identity` any more
    bool mustCheck = false;
  };

  const ProfileDocument* current(const std::string& path);
  static bool checkDue(const CachedFile& file, std::int64_t now);
  static bool stillCurrent(const CachedFile& file, std::int64_t now);
  void load(CachedFile& file, std::int64_t now);

  std::mutex m_mutex;
  std::uint64_t m_parses = 0;
  std::vector<std::unique_ptr<CachedFile>> m_files;  // most recently used first
};

}  // namespace halvik::profile
