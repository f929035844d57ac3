// The read side of Profile.h: single values, key and section lists, whole sections.
#include "profile/Profile.h"

#include "platform/ProfileFile.h"
#include "profile/ProfileCache.h"
#include "profile/ProfileListWriter.h"
#include "profile/ProfileSyntax.h"

#include <algorithm>

namespace halvik::profile {
namespace {

std::string_view textOf(Text text) { return text ? syntax::untilNul(*text) : std::string_view(); }

// The default as a read returns it: null is "", trailing spaces (0x20 only) are removed and
// quotes are kept.
std::string_view processedDefault(Text defaultText) {
  std::string_view text = textOf(defaultText);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Copies one value: cut to size - 1 bytes when too long, always NUL-terminated.
std::uint32_t copyValue(std::string_view value, std::span<char> buffer) {
  const std::size_t length = std::min(value.size(), buffer.size() - 1);
  std::copy_n(value.data(), length, buffer.data());
  buffer[length] = '\0';
  return static_cast<std::uint32_t>(length);
}

// Buffers of one or two bytes hold no list: they are filled with NULs and the count is 0.
bool tooSmallForList(std::span<char> buffer) {
  if (buffer.size() > 2) return false;
  std::fill(buffer.begin(), buffer.end(), '\0');
  return true;
}

std::uint32_t sectionNames(const ProfileDocument* document, std::span<char> buffer) {
  if (tooSmallForList(buffer)) return 0;
  ProfileListWriter list(buffer);
  if (document) {
    for (const auto& section : document->sections()) {
      if (!section.name.empty() && !list.add(section.name)) break;
    }
  }
  return list.finish();
}

// The key names of the first matching section; an empty list gives the default instead,
// followed by a second NUL when there is room.
std::uint32_t keyNames(const ProfileDocument* document, std::string_view sectionName, Text defaultText,
                       std::span<char> buffer) {
  if (tooSmallForList(buffer)) return 0;
  ProfileListWriter list(buffer);
  const auto* section = document ? document->findSection(sectionName) : nullptr;
  if (section) {
    document->forEachEntry(*section, [&](const syntax::Line& entry) {
      return !entry.hasEquals || entry.name.empty() || list.add(entry.name);
    });
  }
  if (!list.empty()) return list.finish();
  const std::uint32_t length = copyValue(processedDefault(defaultText), buffer);
  if (length + 1u < buffer.size()) buffer[length + 1] = '\0';
  return length;
}

std::optional<std::string_view> findValue(const ProfileDocument* document, std::string_view sectionName,
                                          std::string_view key) {
  const auto* section = document ? document->findSection(sectionName) : nullptr;
  const auto entry = section ? document->findEntry(*section, key) : std::nullopt;
  if (!entry || !entry->hasEquals) return std::nullopt;
  return syntax::stripQuotes(entry->value);
}

// Reads go to the file's parsed copy; a name without a folder is a missing file.
template <typename Use>
auto withDocument(const std::string& file, Use&& use) {
  if (!platform::hasFolder(file)) return use(nullptr);
  return ProfileCache::instance().use(file, std::forward<Use>(use));
}

}  // namespace

std::uint32_t getString(Text section, Text key, Text defaultText, std::span<char> buffer, const std::string& file) {
  if (buffer.empty() || buffer.data() == nullptr) return 0;
  return withDocument(file, [&](const ProfileDocument* document) -> std::uint32_t {
    if (!section) return sectionNames(document, buffer);
    const std::string_view sectionName = syntax::trimSpaces(textOf(section));
    if (!key) return keyNames(document, sectionName, defaultText, buffer);
    const auto value = findValue(document, sectionName, syntax::trimSpaces(textOf(key)));
    return copyValue(value ? *value : processedDefault(defaultText), buffer);
  });
}

std::uint32_t getSection(Text section, std::span<char> buffer, const std::string& file) {
  if (buffer.empty() || buffer.data() == nullptr) return 0;
  if (!section) {
    buffer[0] = '\0';
    return 0;
  }
  if (tooSmallForList(buffer)) return 0;
  return withDocument(file, [&](const ProfileDocument* document) -> std::uint32_t {
    ProfileListWriter list(buffer);
    const auto* found = document ? document->findSection(syntax::trimSpaces(textOf(section))) : nullptr;
    if (found) {
      document->forEachEntry(*found, [&](const syntax::Line& entry) {
        return entry.hasEquals ? list.add(entry.name, "=", entry.value) : list.add(entry.name);
      });
    }
    return list.finish();
  });
}

std::optional<std::string> lookup(std::string_view section, std::string_view key, const std::string& file) {
  return lookup(section, key, file, nullptr);
}

std::optional<std::string> lookup(std::string_view section, std::string_view key, const std::string& file,
                                  bool (*accept)(const ProfileDocument&)) {
  return withDocument(file, [&](const ProfileDocument* document) -> std::optional<std::string> {
    if (document && accept && !document->judgement(accept)) return std::nullopt;
    const auto value =
        findValue(document, syntax::trimSpaces(syntax::untilNul(section)), syntax::trimSpaces(syntax::untilNul(key)));
    return value ? std::optional<std::string>(*value) : std::nullopt;
  });
}

}  // namespace halvik::profile
