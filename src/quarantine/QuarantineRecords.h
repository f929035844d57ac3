#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Where each stored copy of the quarantine came from. The records live in one profile file of
// the quarantine folder, "records.ini" (a name the "*.aaq" listing never shows), section
// [Records], one key per stored name. Key and fields are percent-encoded, so any bytes survive:
//
//   evil.exe.aaq=path=/home/ann/evil.exe mode=0750 owner=1000 group=1000 size=4096 stored=1765000000 threat=Foo
//
// The file is input like any other: a record that does not parse is no record, a field that
// does not parse is left out, and a records file that is a link or not a plain file is neither
// read nor written. A records file is created readable and writable by its owner only, and is
// read only while it and the folders above it belong to the running user (or root) and nobody
// else may write them: a record that someone else could have written is no record.
namespace halvik::quarantine {

struct QuarantineRecord {
  std::string originalPath;  // raw bytes of the full path the copy was made from
  // Mode, owner and group of the original; nullopt on Windows, or when a field is missing or
  // out of range (a mode above 0777, an owner beyond 32 bits).
  std::optional<platform::FilePermissions> permissions;
  std::uint64_t size = 0;       // bytes stored
  std::int64_t storedTime = 0;  // seconds since 1970 (UTC); 0 when unknown
  std::string threatName;
};

// The records file of the quarantine folder `folder`.
std::string recordsFile(const std::string& folder);

// Stores the record of the stored copy `storedName`, replacing an earlier one. False when the
// records file could not be written (the copy then simply has no record).
bool writeQuarantineRecord(const std::string& folder, const std::string& storedName, const QuarantineRecord& record);

struct StoredRecord {
  std::string storedName;
  QuarantineRecord record;
};

// Stores the records of several stored copies in one locked write, flushed to the disk before
// it returns; new records are appended to the file in place, so a write costs what it adds. False
// when the records file could not be written: then none of them is stored (a crash, or a disk
// that fills, may leave part of a last line, which reads as no record).
bool writeQuarantineRecords(const std::string& folder, std::span<const StoredRecord> records);

// The record of `storedName`; nullopt when there is none, or when it lacks a path or a size.
std::optional<QuarantineRecord> readQuarantineRecord(const std::string& folder, const std::string& storedName);

// Removes the record of `storedName`. True when no record of it is left.
bool removeQuarantineRecord(const std::string& folder, const std::string& storedName);

}  // namespace halvik::quarantine
