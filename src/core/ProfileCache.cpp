#include "core/ProfileCache.h"

#include "core/ProfileEncoding.h"

#include <algorithm>

namespace profile {

ProfileCache& ProfileCache::instance() {
  static ProfileCache cache;
  return cache;
}

void ProfileCache::checkAllBeforeNextUse() {
  std::lock_guard lock(m_mutex);
  for (auto& file : m_files) file->mustCheck = true;
}

const ProfileDocument* ProfileCache::current(const std::string& path) {
  const auto now = std::chrono::steady_clock::now();
  auto found = std::find_if(m_files.begin(), m_files.end(), [&](const auto& file) { return file->path == path; });
  if (found != m_files.end()) {
    CachedFile& file = **found;
    if (!file.mustCheck && now - file.checkedAt < kCheckInterval) return file.document.get();
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
