#include "quarantine/QuarantineBatch.h"

#include "core/Locations.h"
#include "engine/SignatureDb.h"
#include "quarantine/QuarantineStore.h"

#include <algorithm>
#include <chrono>

namespace halvik::quarantine {
namespace {

// Each copy is flushed with the rest of its batch, just before the batch's records are written.
constexpr platform::CopyOptions kStoredCopy{.replace = false, .ownerOnly = true, .flush = false};

// The record of a copy of `path` stored now.
QuarantineRecord recordOf(const std::string& path, const platform::FileStatus& status, const std::string& threatName) {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return {path, status.permissions, status.size, std::chrono::duration_cast<std::chrono::seconds>(now).count(),
          threatName};
}

}  // namespace

std::optional<std::string> QuarantineBatch::store(const std::string& path, const platform::OpenFile& source,
                                                  const std::string& threatName) {
  // Nothing is stored in a quarantine folder that is not the user's own.
  if (!m_names) {
    if (!EnsureQuarantineFolder()) return std::nullopt;
    m_names.emplace(QuarantineFolder());
  }
  const auto status = source.status();
  auto stored = storeUnder(*m_names, engine::FileNameOf(path), source);
  if (stored) m_copies.push_back({*stored, status ? std::optional(recordOf(path, *status, threatName)) : std::nullopt});
  return stored;
}

// Copies `source` under the first free stored name of `name`; a name that another writer took
// since the listing is noted and the next one tried.
std::optional<std::string> QuarantineBatch::storeUnder(StoredNames& names, const std::string& name,
                                                       const platform::OpenFile& source) {
  while (auto stored = names.next(name)) {
    const std::string destination = StoredPath(*stored);
    const bool copied = platform::copyOpenFile(source, destination, kStoredCopy).ok();
    if (!copied && !platform::fileAttributes(destination)) return std::nullopt;
    names.take(*stored);
    if (copied) return stored;
  }
  return std::nullopt;
}

bool QuarantineBatch::record() {
  std::vector<StoredRecord> records;
  for (Copy& copy : m_copies)
    if (copy.record) records.push_back({copy.storedName, std::move(*copy.record)});
  // The copies reach the disk before their records do: waiting once for the whole batch costs
  // about what one copy's own flush did.
  const bool flushed = std::all_of(m_copies.begin(), m_copies.end(), [](const Copy& copy) {
    return platform::flushFile(StoredPath(copy.storedName)).ok();
  });
  const bool written = flushed && (records.empty() || writeQuarantineRecords(QuarantineFolder(), records));
  if (!written)
    for (const Copy& copy : m_copies) platform::deleteFile(StoredPath(copy.storedName));
  m_copies.clear();
  return written;
}

}  // namespace halvik::quarantine
