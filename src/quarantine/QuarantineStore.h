#pragma once

#include "platform/Platform.h"
#include "quarantine/QuarantineRecords.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace halvik::quarantine {

// The quarantine: the data folder's "Quarintine" folder holding exact copies of removed
// files, each named after its source file with ".aaq" appended, and beside them a record of
// where each copy came from (QuarantineRecords.h). A copy without a record (an older folder, a
// file dropped there by hand) is listed, restored and deleted all the same.

// The data folder (the program folder unless installed) followed by the separator and "Quarintine".
std::string QuarantineFolder();

// The quarantine folder followed by the separator and `storedName`.
std::string StoredPath(const std::string& storedName);

// Creates the quarantine folder. True when it exists afterwards and is the user's own
// (core::createDataSubfolder): nothing is stored in any other.
bool EnsureQuarantineFolder();

// FileNameOf(path) followed by ".aaq": "setup.exe" is stored as "setup.exe.aaq".
std::string QuarantineName(const std::string& path);

// The source name of a stored file: its name without one trailing ".aaq", compared without
// regard to case ("a.aaq.txt.aaq" gives "a.aaq.txt", "SETUP.EXE.AAQ" gives "SETUP.EXE").
std::string SourceNameOf(const std::string& storedName);

// Stores a copy of `source`, the regular file found at `path` and already opened and checked
// by the caller (the only way in: a name is never opened again, so a link is never followed).
// A stored file is never replaced: when the name is taken the copy is stored as
// "name (2).ext.aaq", "name (3).ext.aaq" and so on. The copy is exact, written under a temporary
// name and renamed, readable and writable by the owner only. Its record keeps `path`, the mode,
// owner, group and size of `source`, the time and `threatName` (a copy whose source's status
// cannot be read has none); when the record cannot be written the copy is deleted again. The
// source is left in place. The stored name, or nullopt when no copy was stored. A copy of a
// repair pass is stored through a QuarantineBatch, whose records are written together.
std::optional<std::string> StoreInQuarantine(const std::string& path, const platform::OpenFile& source,
                                             const std::string& threatName = {});

struct QuarantineEntry {
  std::string storedName;
  std::string sourceName;
  std::uint64_t size = 0;
};

// The stored files ("*.aaq", any case), in name order. A missing or unreadable folder gives
// an empty list; a file that vanishes before its size is read is left out.
std::vector<QuarantineEntry> ListQuarantine();

// The record of a stored file; nullopt when it has none, when the record's size is not the
// file's (a record left from an earlier copy of that name, or a file replaced by hand), or when
// the records file or the stored file could have been written by someone else (see
// QuarantineRecords.h): the file then comes back readable and writable by its owner only.
std::optional<quarantine::QuarantineRecord> QuarantineRecordOf(const std::string& storedName);

// Copies the stored file to `destination` (replacing a file there), then deletes it and its
// record from the quarantine. The file gets its recorded mode (and owner and group when the
// program runs as root); without a record it is readable and writable by its owner only. The
// restored file is exempt from the watch of folders (WatchExemptions.h).
// Stops at the first failing step and reports it.
bool RestoreFromQuarantine(const std::string& storedName, const std::string& destination);

// Deletes a stored file and its record for good.
bool DeleteFromQuarantine(const std::string& storedName);

}  // namespace halvik::quarantine
