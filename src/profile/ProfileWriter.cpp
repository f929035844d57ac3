// The write side of Profile.h: set a value, remove a key, remove a section.
#include "profile/Profile.h"

#include "platform/ProfileFile.h"
#include "profile/ProfileCache.h"
#include "profile/ProfileEditor.h"
#include "profile/ProfileEncoding.h"
#include "profile/ProfileSyntax.h"

#include <cerrno>
#include <functional>
#include <vector>

namespace halvik::profile {
namespace {

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// HT, VT or FF at either end: reading trims them, so such a name could never be found again.
bool hasOuterWhiteSpace(std::string_view name) {
  return !name.empty() && (syntax::isSpace(name.front()) || syntax::isSpace(name.back()));
}

// Names and values that would read back as something else, or add structure to the file,
// are refused rather than written.
bool acceptable(std::string_view section, Text key, Text value) {
  if (hasLineBreak(section) || section.find(']') != std::string_view::npos || hasOuterWhiteSpace(section)) return false;
  if (key && (hasLineBreak(*key) || key->find('=') != std::string_view::npos || key->starts_with('[') ||
              hasOuterWhiteSpace(*key)))
    return false;
  return !(value && hasLineBreak(*value));
}

// A value that reading would alter (white space at an end, or a pair of quotes around it) is
// written inside double quotes, so that it reads back exactly.
std::string protectedValue(std::string_view value) {
  const bool outerSpace = !value.empty() && (syntax::isSpace(value.front()) || syntax::isSpace(value.back()));
  const bool quoted = syntax::stripQuotes(value).size() != value.size();
  if (!outerSpace && !quoted) return std::string(value);
  return std::string("\"").append(value).append("\"");
}

Text cut(Text text) { return text ? Text(syntax::untilNul(*text)) : std::nullopt; }
Text trimmedName(Text name) { return name ? Text(syntax::trimSpaces(*name)) : std::nullopt; }

// What an edit makes of a file's text: the new text, or nullopt when it changes nothing.
using TextEdit = std::function<std::optional<std::string>(std::string_view text)>;

// `creates`: a missing file is created with what the edit makes of an empty text.
platform::EditResult editContent(const platform::FileContent& current, const TextEdit& edit, bool creates) {
  if (current.status == platform::FileContent::Status::Missing) {
    if (!creates) return {};
    const auto created = edit({});
    return {platform::EditResult::Kind::Changed, *created};
  }
  DecodedText decoded = decodeProfile(current.bytes);
  if (!decoded.writable) return {platform::EditResult::Kind::Rejected, {}};
  const auto edited = edit(decoded.text);
  if (!edited) return {};
  auto encoded = encodeProfile(*edited, decoded.encoding);
  if (!encoded) return {platform::EditResult::Kind::Rejected, {}};
  return {platform::EditResult::Kind::Changed, std::move(*encoded)};
}

// Applies `edit` to `file` in one locked write.
bool writeEdited(const std::string& file, const TextEdit& edit, bool creates,
                 platform::Growth growth = platform::Growth::Rewrite) {
  const auto content = [&](const platform::FileContent& current) { return editContent(current, edit, creates); };
  const bool ok = platform::replaceFile(file, content, growth).ok();
  ProfileCache::instance().checkAllBeforeNextUse();
  return ok;
}

}  // namespace

bool writeString(Text section, Text key, Text value, const std::string& file) {
  section = trimmedName(cut(section));
  key = trimmedName(cut(key));
  value = key ? cut(value) : std::nullopt;  // removing a section ignores the value
  if (!section || !platform::hasFolder(file) || !acceptable(*section, key, value)) return false;

  const bool removing = !key || !value;
  if (removing && !platform::fileIdentity(file) && errno == ENOENT) return true;  // nothing to remove, nothing created

  const std::string written = value ? protectedValue(*value) : std::string();
  const ProfileEdit edit{*section, key, value ? Text(written) : std::nullopt};
  return writeEdited(
      file, [&](std::string_view text) { return applyEdit(text, edit); }, !removing);
}

bool writeStrings(std::string_view section, std::span<const std::pair<std::string, std::string>> entries,
                  const std::string& file, platform::Growth growth) {
  const std::string_view name = syntax::trimSpaces(syntax::untilNul(section));
  if (!platform::hasFolder(file)) return false;
  std::vector<std::string> values;
  values.reserve(entries.size());
  for (const auto& [key, value] : entries) {
    const std::string_view trimmedKey = syntax::trimSpaces(syntax::untilNul(key));
    if (!acceptable(name, trimmedKey, syntax::untilNul(value))) return false;
    values.push_back(protectedValue(syntax::untilNul(value)));
  }
  if (entries.empty()) return true;
  std::vector<ProfileEntry> edits;
  edits.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    edits.push_back({syntax::trimSpaces(syntax::untilNul(entries[i].first)), values[i]});
  return writeEdited(
      file, [&](std::string_view text) { return applyValues(text, name, edits); }, true, growth);
}

}  // namespace halvik::profile
