#include "core/ProfileCache.h"

#include "core/ProfileEncoding.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace profile {

namespace {

// The coarse monotonic clock: reading it costs a fraction of the precise one, and its
// resolution (a few milliseconds) is taken off the check interval.
std::int64_t monotonicNow() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
#else
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
#endif
}

std::int64_t clockResolution() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec resolution{};
  if (::clock_getres(CLOCK_MONOTONIC_COARSE, &resolution) == 0) return resolution.tv_sec * 1'000'000'000LL + resolution.tv_nsec;
#endif
  return 0;
}

}  // namespace

ProfileCache::ProfileCache() : m_clockResolutionNs(clockResolution()) {}

ProfileCache& ProfileCache::instance() {
  static ProfileCache cache;
  return cache;
}

void ProfileCache::checkAllBeforeNextUse() {
  std::lock_guard lock(m_mutex);
  for (auto& file : m_files) file->mustCheck = true;
}

const ProfileDocument* ProfileCache::current(const std::string& path) {
  const std::int64_t now = monotonicNow();
  auto found = std::find_if(m_files.begin(), m_files.end(), [&](const auto& file) { return file->path == path; });
  if (found != m_files.end()) {
    CachedFile& file = **found;
    if (!checkDue(file, now)) return file.document.get();
    if (!stillCurrent(file)) load(file);
    file.checkedAt = now;
    file.mustCheck = false;
    if (found != m_files.begin()) std::rotate(m_files.begin(), found, found + 1);
    return m_files.front()->document.get();
  }
  auto file = std::make_unique<CachedFile>();
  file->path = path;
  load(*file);
  file->checkedAt = now;
  if (m_files.size() >= kMaxFiles) m_files.pop_back();
  m_files.insert(m_files.begin(), std::move(file));
  return m_files.front()->document.get();
}

bool ProfileCache::checkDue(const CachedFile& file, std::int64_t now) const {
  return file.mustCheck || now - file.checkedAt >= kCheckIntervalNs - m_clockResolutionNs;
}

bool ProfileCache::stillCurrent(CachedFile& file) const {
  if (!file.identity) return false;
  const auto identity = fileIdentity(file.path);
  return identity && *identity == *file.identity && !recentlyModified(*identity);
}

void ProfileCache::load(CachedFile& file) {
  file.document.reset();
  file.identity.reset();
  FileContent content = readFile(file.path);
  if (content.status != FileContent::Status::Read) return;
  file.identity = content.identity;
  file.document = std::make_unique<const ProfileDocument>(decodeProfile(std::move(content.bytes)).text);
}

}  // namespace profile
