#pragma once

#include "core/ProfileDocument.h"
#include "core/ProfileFile.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace profile {

// Parsed profile files kept in memory, answered from while the file on disk is unchanged.
// A file is examined again (device, inode, size, modification and change times) once its
// copy is 100 ms old, and parsed anew when anything differs or when it was modified within
// the last two seconds. After a write of our own every copy is examined before its next use.
// Callers thus see what a fresh read would give, except that another program's edit may
// take up to 100 ms to show.
class ProfileCache {
 public:
  static constexpr std::int64_t kCheckIntervalNs = 100'000'000;
  static constexpr std::size_t kMaxFiles = 8;

  static ProfileCache& instance();
  ProfileCache();

  // Calls `use` with the parsed file `path` names (null when it is missing or unreadable)
  // and returns its result. The document is valid only during the call.
  template <typename Use>
  auto use(const std::string& path, Use&& use) {
    std::lock_guard lock(m_mutex);
    return use(current(path));
  }

  // Makes every copy be examined before its next use: called after each write of our own.
  void checkAllBeforeNextUse();

 private:
  struct CachedFile {
    std::string path;
    std::unique_ptr<const ProfileDocument> document;  // null: missing or unreadable
    std::optional<FileIdentity> identity;
    std::int64_t checkedAt = 0;  // on the monotonic clock, in nanoseconds
    bool mustCheck = false;
  };

  const ProfileDocument* current(const std::string& path);
  bool checkDue(const CachedFile& file, std::int64_t now) const;
  bool stillCurrent(CachedFile& file) const;
  static void load(CachedFile& file);

  std::mutex m_mutex;
  std::int64_t m_clockResolutionNs = 0;
  std::vector<std::unique_ptr<CachedFile>> m_files;  // most recently used first
};

}  // namespace profile
