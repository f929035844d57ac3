#include "profile/ProfileCache.h"

#include "platform/Environment.h"
#include "profile/ProfileEncoding.h"

#include <algorithm>

namespace halvik::profile {

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
  const std::int64_t now = platform::environment().clock.now();
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

// Due once the check interval has passed, less the clock's resolution. A clock that went back
// (one environment's clock replaced by another's) makes every copy due as well.
bool ProfileCache::checkDue(const CachedFile& file, std::int64_t now) {
  const platform::MonotonicClock& clock = platform::environment().clock;
  return file.mustCheck || now < file.checkedAt || now - file.checkedAt >= kCheckIntervalNs - clock.resolutionNs;
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
