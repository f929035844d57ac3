#include "quarantine/QuarantineStore.h"

#include "core/Locations.h"
#include "engine/SignatureDb.h"
#include "platform/Ascii.h"
#include "platform/Ownership.h"
#include "platform/Platform.h"
#include "quarantine/QuarantineBatch.h"
#include "quarantine/StoredNames.h"
#include "quarantine/WatchExemptions.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace halvik::quarantine {

namespace {

// Spelt this way in every stored quarantine folder: kept so existing folders are found.
constexpr const char* kFolderName = "Quarintine";

// A stored name names one file of the quarantine folder, never a path leading out of it.
bool isPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && engine::FileNameOf(name) == name;
}

bool endsWithStoredExtension(const std::string& name) {
  return name.size() >= kStoredExtension.size() &&
         platform::equalsIgnoringCase(std::string_view(name).substr(name.size() - kStoredExtension.size()),
                                      kStoredExtension);
}

bool nameOrder(const QuarantineEntry& a, const QuarantineEntry& b) {
  const std::string foldedA = platform::upperCase(a.storedName);
  const std::string foldedB = platform::upperCase(b.storedName);
  return foldedA != foldedB ? foldedA < foldedB : a.storedName < b.storedName;
}

}  // namespace

std::string QuarantineFolder() { return core::dataSubfolder(kFolderName); }

std::string StoredPath(const std::string& storedName) { return QuarantineFolder() + platform::kSeparator + storedName; }

bool EnsureQuarantineFolder() { return core::createDataSubfolder(kFolderName); }

std::string QuarantineName(const std::string& path) { return engine::FileNameOf(path) + std::string(kStoredExtension); }

std::string SourceNameOf(const std::string& storedName) {
  if (!endsWithStoredExtension(storedName)) return storedName;
  return storedName.substr(0, storedName.size() - kStoredExtension.size());
}

std::optional<std::string> StoreInQuarantine(const std::string& path, const platform::OpenFile& source,
                                             const std::string& threatName) {
  QuarantineBatch batch;
  auto stored = batch.store(path, source, threatName);
  return stored && batch.record() ? stored : std::nullopt;
}

std::vector<QuarantineEntry> ListQuarantine() {
  std::vector<QuarantineEntry> entries;
  const auto listing = platform::listFolder(QuarantineFolder(), "*" + std::string(kStoredExtension), platform::kHidden);
  if (!listing) return entries;
  for (const platform::DirEntry& entry : *listing) {
    if (entry.attributes & (platform::kFolder | platform::kSystem | platform::kReparsePoint)) continue;
    const auto size = platform::fileLength(StoredPath(entry.name));
    if (!size) continue;  // gone since the listing
    entries.push_back({entry.name, SourceNameOf(entry.name), *size});
  }
  std::sort(entries.begin(), entries.end(), nameOrder);
  return entries;
}

std::optional<quarantine::QuarantineRecord> QuarantineRecordOf(const std::string& storedName) {
  // A stored copy that someone else could have replaced keeps no record either.
  if (!isPlainName(storedName) || !platform::isPrivate(StoredPath(storedName))) return std::nullopt;
  auto record = quarantine::readQuarantineRecord(QuarantineFolder(), storedName);
  if (!record || platform::fileLength(StoredPath(storedName)) != record->size) return std::nullopt;
  return record;
}

bool RestoreFromQuarantine(const std::string& storedName, const std::string& destination) {
  if (!isPlainName(storedName)) return false;
  const std::string source = StoredPath(storedName);
  // Restoring a stored file onto itself would copy it in place and then delete the only copy.
  std::error_code error;
  if (std::filesystem::equivalent(source, destination, error)) return false;
  const auto record = QuarantineRecordOf(storedName);
  const platform::CopyOptions options{.replace = true,
                                      .ownerOnly = true,
                                      .permissions = record ? record->permissions : std::nullopt};
  if (!platform::copyFile(source, destination, options)) return false;
  ExemptFile(destination);
  if (!platform::deleteFile(source)) return false;
  quarantine::removeQuarantineRecord(QuarantineFolder(), storedName);
  return true;
}

bool DeleteFromQuarantine(const std::string& storedName) {
  if (!isPlainName(storedName) || !platform::deleteFile(StoredPath(storedName))) return false;
  quarantine::removeQuarantineRecord(QuarantineFolder(), storedName);
  return true;
}

}  // namespace halvik::quarantine
