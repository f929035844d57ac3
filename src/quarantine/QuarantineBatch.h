#pragma once

#include "platform/Platform.h"
#include "quarantine/QuarantineRecords.h"
#include "quarantine/StoredNames.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace halvik::quarantine {

// The copies of a run of repairs whose records are written together. Each copy is stored at
// once, without waiting for the disk; its record waits until record() flushes every waiting copy
// and then writes their records in one locked write, flushed to the disk. Whoever deletes the originals does so only
// once record() has succeeded, so that no original is deleted before the record of its copy exists. Stored names are
// numbered from one listing of the quarantine folder, made at the first copy.
class QuarantineBatch {
 public:
  // Stores a copy of `source`, the regular file found at `path` and already opened and checked
  // by the caller, as StoreInQuarantine describes; its record waits for record(). The stored
  // name, or nullopt when no copy was stored.
  std::optional<std::string> store(const std::string& path, const platform::OpenFile& source,
                                   const std::string& threatName);

  // Writes the records of the waiting copies. When that fails the copies are deleted again, so
  // that none is left without its record; false then. True when nothing waits.
  bool record();

  // How many copies wait for their record.
  std::size_t waiting() const { return m_copies.size(); }

 private:
  struct Copy {
    std::string storedName;
    std::optional<QuarantineRecord> record;  // none when the source's status could not be read
  };

  std::optional<std::string> storeUnder(StoredNames& names, const std::string& name, const platform::OpenFile& source);

  std::optional<StoredNames> m_names;
  std::vector<Copy> m_copies;
};

}  // namespace halvik::quarantine
