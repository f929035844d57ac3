#include "core/SettingsStore.h"

#include "core/PercentEncoding.h"
#include "core/SettingsStoreRegistry.h"
#include "platform/Ascii.h"
#include "platform/Environment.h"
#include "platform/FolderCheck.h"
#include "platform/Platform.h"
#include "platform/SettingsRegistry.h"
#include "profile/Profile.h"
#include "profile/ProfileDocument.h"
#include "profile/ProfileSyntax.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

// The store is one profile file, or the registry where the system has one. A value lives in the section
// "<application>\<section>" under its key. Names and values are percent-encoded so that any text survives the profile
// file: names encode the bytes the profile format would trim, reject or read as structure, values every control byte;
// "%" itself is always encoded. Letters are never encoded, so the profile reader's case folding of names still folds
// the names the caller gave.
namespace halvik::core::SettingsStore {
namespace {

// A section or key name: besides control bytes and "%", the bytes the profile format reads as
// structure ("[", "]", "=", ";"), the separator "\" of application and section, and spaces at
// either end, which the profile reader would trim.
std::string encodeName(const std::string& text) {
  return core::percent::encode(text, "\\[]=;", core::percent::Ends::Encoded);
}

// A value: control bytes and "%" only; the profile writer quotes a value whose ends the reader
// would otherwise trim or unquote.
std::string encodeValue(const std::string& text) { return core::percent::encode(text, {}); }

using core::percent::decode;

std::string sectionName(const std::string& appName, const std::string& section) {
  return encodeName(appName) + "\\" + encodeName(section);
}

// ---- Telling a sound settings file from a damaged one --------------------------------------

bool isLineSound(std::string_view line, bool& inSection) {
  line = platform::trimmed(line);
  if (line.empty() || line.front() == ';') return true;
  if (line.front() == '[') {
    inSection = true;
    const std::string_view rest = line.substr(1);  // the name and its closing "]"
    return !rest.empty() && rest.find(']') == rest.size() - 1 && decode(rest.substr(0, rest.size() - 1)).has_value();
  }
  const auto equals = line.find('=');
  if (!inSection || equals == std::string_view::npos) return false;
  return decode(platform::trimmed(line.substr(0, equals))).has_value() &&
         decode(profile::syntax::stripQuotes(platform::trimmed(line.substr(equals + 1)))).has_value();
}

// True when every line of `content` is blank, a comment, a section header or an entry of a
// section, with sound escapes: what this store writes, or a careful hand edit of it. A file
// with NUL bytes (a UTF-16 file among others) or stray text is not one.
bool isSound(std::string_view content) {
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  if (content.ends_with('\x1A')) content.remove_suffix(1);  // a DOS end-of-file mark
  if (content.find('\0') != std::string_view::npos || content.starts_with("\xFF\xFE") ||
      content.starts_with("\xFE\xFF"))
    return false;
  bool inSection = false;
  std::size_t start = 0;
  while (start <= content.size()) {
    std::size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = content.size();
    if (!isLineSound(content.substr(start, end - start), inSection)) return false;
    if (end < content.size() && content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return true;
}

// The same test on the reader's parsed copy of the file: a file of bytes, or UTF-8 with one
// byte order mark (the copy holds the text after it), whose text is sound. UTF-16 is not.
bool isSoundCopy(const profile::ProfileDocument& document) {
  switch (document.encoding()) {
    case profile::Encoding::Bytes: return isSound(document.text());
    case profile::Encoding::Utf8Bom: return !document.text().starts_with("\xEF\xBB\xBF") && isSound(document.text());
    default: return false;
  }
}

enum class FileState { Missing, Sound, Damaged, Unreadable };

struct FileContent {
  FileState state;
  std::string bytes;
};

FileContent readSettingsFile(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return {FileState::Missing, {}};
  if (error || status.type() != std::filesystem::file_type::regular) return {FileState::Unreadable, {}};
  // C streams: a read error is a result here, never an exception.
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return {FileState::Unreadable, {}};
  std::string bytes;
  char buffer[65536];
  while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, in)) bytes.append(buffer, count);
  const bool failed = std::ferror(in) != 0;
  std::fclose(in);
  if (failed) return {FileState::Unreadable, {}};
  const FileState state = isSound(bytes) ? FileState::Sound : FileState::Damaged;
  return {state, std::move(bytes)};
}

// ---- Writing ---------------------------------------------------------------------------

// Creates the folder of the settings file and its parent (one or two levels) as needed.
bool ensureFolderOf(const std::string& file) {
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  if (folder.empty()) return true;
  if (platform::isFolder(folder.string(), platform::Links::Followed)) return true;
  const std::filesystem::path parent = folder.parent_path();
  if (!parent.empty() && !platform::isFolder(parent.string(), platform::Links::Followed))
    platform::createFolder(parent.string());
  return platform::createFolder(folder.string()).ok();
}

// Keeps a damaged file as "<file>.bad" ("<file>.bad.2" and on when taken; an earlier backup is
// never replaced) and removes it, so that the next write starts a new file. The file is removed
// only while it still holds the damaged bytes: a good file written meanwhile by another running
// copy stays. False when the damaged file could not be kept or is still in the way.
bool setAsideDamagedFile(const std::string& file, const std::string& damagedBytes) {
  constexpr int kMaxBackups = 100;
  for (int number = 1; number <= kMaxBackups; ++number) {
    const std::string backup = file + ".bad" + (number == 1 ? std::string() : "." + std::to_string(number));
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(backup, error))) continue;
    if (!platform::copyFile(file, backup, {.replace = false, .ownerOnly = true})) return false;
    const FileContent now = readSettingsFile(file);
    if (now.state == FileState::Damaged && now.bytes == damagedBytes) return platform::deleteFile(file).ok();
    return now.state == FileState::Sound || now.state == FileState::Missing;
  }
  return false;
}

}  // namespace

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
  if (platform::hasSettingsRegistry()) return SettingsStoreRegistry::GetSetting(appName, section, key, defaultValue);
  // A missing, unreadable or damaged file gives the default, as an absent value does.
  const auto stored = profile::lookup(sectionName(appName, section), encodeName(key),
                                      platform::environment().settingsFile, isSoundCopy);
  if (!stored) return defaultValue;
  return decode(*stored).value_or(defaultValue);
}

bool SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value) {
  if (platform::hasSettingsRegistry()) return SettingsStoreRegistry::SaveSetting(appName, section, key, value);
  const std::string& file = platform::environment().settingsFile;
  if (!ensureFolderOf(file)) return false;
  if (const FileContent current = readSettingsFile(file);
      current.state == FileState::Damaged && !setAsideDamagedFile(file, current.bytes))
    return false;
  return profile::writeString(sectionName(appName, section), encodeName(key), encodeValue(value), file);
}

}  // namespace halvik::core::SettingsStore
