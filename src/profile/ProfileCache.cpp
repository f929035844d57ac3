#include "profile/ProfileCache.h"

#include "profile/ProfileEncoding.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace halvik::profile {

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

std::uint64_t ProfileCache::parses() {
  std::lock_guard lock(m_mutex);
  return m_parses;
}

const ProfileDocument* ProfileCache::current(const std::string& path) {
  const std::int64_t now = monotonicNow();
  auto found = std::find_if(m_files.begin(), m_files.end(), [&](const auto& file) { return file->path == path; });
  if (found != m_files.end()) {
    CachedFile& file = **found;
    if (!checkDue(file, now)) return file.document.get();
    if (!stillCurrent(file, now)) load(file, now);
    file.checkedAt = now;
    file.mustCheck = false;
    if (found != m_files.begin()) std::rotate(m_files.begin(), found, found + 1);
    return m_files.front()->document.get();
  }
  auto file = std::make_unique<CachedFile>();
  file->path = path;
  load(*file, now);
  file->checkedAt = now;
  if (m_files.size() >= kMaxFiles) m_files.pop_back();
  m_files.insert(m_files.begin(), std::move(file));
  return m_files.front()->document.get();
}

bool ProfileCache::checkDue(const CachedFile& file, std::int64_t now) const {
  return file.mustCheck || now - file.checkedAt >= kCheckIntervalNs - m_clockResolutionNs;
}

// True when the copy may be used as it is: the identity is unchanged, and either it can hide
// no change or it was first seen too recently for its confirming parse.
bool ProfileCache::stillCurrent(const CachedFile& file, std::int64_t now) {
  if (!file.identity) return false;
  const auto identity = platform::fileIdentity(file.path);
  if (!identity || *identity != *file.identity) return false;
  return file.settled || now - file.seenAt < kSettleNs;
}

void ProfileCache::load(CachedFile& file, std::int64_t now) {
  const std::optional<platform::FileIdentity> previous = file.identity;
  file.document.reset();
  file.identity.reset();
  platform::FileContent content = platform::readFile(file.path);
  if (content.status != platform::FileContent::Status::Read) return;
  ++m_parses;
  if (previous == content.identity) {
    file.settled = file.settled || now - file.seenAt >= kSettleNs;  // the confirming parse
  } else {
    file.seenAt = now;
    file.settled = !platform::recentlyModified(content.identity);
  }
  file.identity = content.identity;
  DecodedText decoded = decodeProfile(std::move(content.bytes));
  file.document = std::make_unique<const ProfileDocument>(std::move(decoded.text), decoded.encoding);
}

}  // namespace halvik::profile
