#include "quarantine/QuarantineRecords.h"

#include "core/PercentEncoding.h"
#include "platform/Ownership.h"
#include "profile/Profile.h"

#include <charconv>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace halvik::quarantine {
namespace {

constexpr const char* kSection = "Records";

// Profile keys compare without regard to ASCII case, stored names exactly: upper-case letters
// are encoded so that "A.aaq" and "a.aaq" keep records of their own.
constexpr std::string_view kKeyReserved = "[]=;ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Fields are separated by spaces, so a space inside a field is encoded.
constexpr std::string_view kFieldReserved = " ";

std::string keyOf(const std::string& storedName) {
  return core::percent::encode(storedName, kKeyReserved, core::percent::Ends::Encoded);
}

// True when `file` may be read and written as the records file: missing (`missingIsPlain`),
// or a plain file that is no link.
bool isPlainFile(const std::string& file, bool missingIsPlain) {
  const auto attributes = platform::fileAttributes(file);
  if (!attributes) return missingIsPlain;
  return (*attributes & (platform::kFolder | platform::kSystem | platform::kReparsePoint)) == 0;
}

void addField(std::string& value, std::string_view name, std::string_view text) {
  if (!value.empty()) value += ' ';
  value.append(name).append(1, '=').append(core::percent::encode(text, kFieldReserved));
}

std::string encodeRecord(const QuarantineRecord& record) {
  std::string value;
  addField(value, "path", record.originalPath);
  if (record.permissions) {
    char mode[8];
    const auto end = std::to_chars(mode, mode + sizeof mode, record.permissions->mode & 0777u, 8).ptr;
    addField(value, "mode", "0" + std::string(mode, end));
    addField(value, "owner", std::to_string(record.permissions->owner));
    addField(value, "group", std::to_string(record.permissions->group));
  }
  addField(value, "size", std::to_string(record.size));
  addField(value, "stored", std::to_string(record.storedTime));
  addField(value, "threat", record.threatName);
  return value;
}

// The fields of an encoded record by name, decoded; the first of duplicates wins, and a field
// without "=" or with a broken escape is left out.
std::map<std::string, std::string, std::less<>> decodeFields(std::string_view value) {
  std::map<std::string, std::string, std::less<>> fields;
  while (!value.empty()) {
    const auto space = value.find(' ');
    const std::string_view field = value.substr(0, space);
    value = space == std::string_view::npos ? std::string_view() : value.substr(space + 1);
    const auto equals = field.find('=');
    if (equals == std::string_view::npos) continue;
    if (auto text = core::percent::decode(field.substr(equals + 1)))
      fields.emplace(field.substr(0, equals), std::move(*text));
  }
  return fields;
}

// A whole number in `base` made of digits only, within the range of T.
template <typename T>
std::optional<T> number(const std::map<std::string, std::string, std::less<>>& fields, std::string_view name,
                        int base = 10) {
  const auto found = fields.find(name);
  if (found == fields.end() || found->second.empty()) return std::nullopt;
  const std::string& text = found->second;
  T result{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result, base);
  if (error != std::errc() || end != text.data() + text.size() || text.front() == '-') return std::nullopt;
  return result;
}

// Mode, owner and group, only when all three are sound: a mode of permission bits alone (0777
// at most), and owners other than the "no owner" value that would leave a file unchanged.
std::optional<platform::FilePermissions> permissionsOf(const std::map<std::string, std::string, std::less<>>& fields) {
  const auto mode = number<std::uint32_t>(fields, "mode", 8);
  const auto owner = number<std::uint32_t>(fields, "owner");
  const auto group = number<std::uint32_t>(fields, "group");
  constexpr std::uint32_t kNoOwner = 0xFFFFFFFFu;
  if (!mode || *mode > 0777u || !owner || *owner == kNoOwner || !group || *group == kNoOwner) return std::nullopt;
  return platform::FilePermissions{*mode, *owner, *group};
}

std::optional<QuarantineRecord> decodeRecord(std::string_view value) {
  const auto fields = decodeFields(value);
  const auto path = fields.find("path");
  const auto size = number<std::uint64_t>(fields, "size");
  if (path == fields.end() || path->second.empty() || path->second.find('\0') != std::string::npos || !size)
    return std::nullopt;
  QuarantineRecord record{
      path->second, permissionsOf(fields), *size, number<std::int64_t>(fields, "stored").value_or(0), {}};
  if (const auto threat = fields.find("threat"); threat != fields.end()) record.threatName = threat->second;
  return record;
}

}  // namespace

std::string recordsFile(const std::string& folder) { return folder + platform::kSeparator + "records.ini"; }

bool writeQuarantineRecord(const std::string& folder, const std::string& storedName, const QuarantineRecord& record) {
  const StoredRecord one{storedName, record};
  return writeQuarantineRecords(folder, {&one, 1});
}

bool writeQuarantineRecords(const std::string& folder, std::span<const StoredRecord> records) {
  const std::string file = recordsFile(folder);
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(records.size());
  for (const StoredRecord& stored : records)
    entries.emplace_back(keyOf(stored.storedName), encodeRecord(stored.record));
  // A new records file is the owner's alone: a record that others could edit is no record.
  return isPlainFile(file, true) && platform::createPrivateFile(file) &&
         profile::writeStrings(kSection, entries, file, platform::Growth::Append);
}

std::optional<QuarantineRecord> readQuarantineRecord(const std::string& folder, const std::string& storedName) {
  const std::string file = recordsFile(folder);
  if (!isPlainFile(file, false) || !platform::isPrivate(file)) return std::nullopt;
  const auto value = profile::lookup(kSection, keyOf(storedName), file);
  if (!value) return std::nullopt;
  return decodeRecord(*value);
}

bool removeQuarantineRecord(const std::string& folder, const std::string& storedName) {
  const std::string file = recordsFile(folder);
  return isPlainFile(file, true) && profile::writeString(kSection, keyOf(storedName), std::nullopt, file);
}

}  // namespace halvik::quarantine
