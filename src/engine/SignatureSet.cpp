#include "engine/SignatureSet.h"

#include "profile/ProfileDocument.h"
#include "profile/ProfileEncoding.h"
#include "profile/ProfileIndex.h"
#include "profile/ProfileSyntax.h"

#include <charconv>

namespace halvik::engine {
namespace {
// What the shared reader reads of a value: its first 1023 bytes.
constexpr std::size_t kLongestThreatName = 1023;

std::nullopt_t refused(std::string* reason, const char* text) {
  if (reason) *reason = text;
  return std::nullopt;
}

std::optional<std::string_view> valueOf(const profile::ProfileDocument& document, std::string_view section,
                                        std::string_view key) {
  const auto* found = document.findSection(section);
  const auto entry = found ? document.findEntry(*found, key) : std::nullopt;
  if (!entry || !entry->hasEquals) return std::nullopt;
  return profile::syntax::stripQuotes(entry->value);
}
}  // namespace

bool IsKeyName(std::string_view name) {
  return !name.empty() && !profile::syntax::isSpace(name.front()) && !profile::syntax::isSpace(name.back());
}

std::size_t SignatureSet::FoldedHash::operator()(std::string_view name) const {
  return profile::ProfileIndex::hash(0, name);
}

bool SignatureSet::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
  return profile::syntax::foldEqual(a, b);
}

std::optional<SignatureSet> SignatureSet::parse(std::string_view bytes, std::string origin, std::string* reason) {
  profile::DecodedText decoded = profile::decodeProfile(std::string(bytes));
  if (decoded.text.find('\0') != std::string::npos) return refused(reason, "holds a NUL byte");
  const profile::ProfileDocument document(std::move(decoded.text), decoded.encoding);
  SignatureSet set;
  set.m_origin = std::move(origin);
  if (const auto version = valueOf(document, "Signatures", "Version")) {
    const auto [end, error] = std::from_chars(version->data(), version->data() + version->size(), set.m_version);
    if (error != std::errc() || end != version->data() + version->size() || version->empty())
      return refused(reason, "its Version is not a whole number");
  }
  set.m_date = std::string(valueOf(document, "Signatures", "Date").value_or(""));
  if (const auto* section = document.findSection("Scanfiles")) {
    set.m_threats.reserve(document.text().size() / 32);
    document.forEachEntry(*section, [&set](const profile::syntax::Line& entry) {
      const std::string_view threat = entry.hasEquals ? profile::syntax::stripQuotes(entry.value) : std::string_view();
      set.m_threats.try_emplace(std::string(entry.name), threat.substr(0, kLongestThreatName));
      return true;
    });
  }
  std::erase_if(set.m_threats, [](const auto& entry) { return entry.second.empty() || entry.first.empty(); });
  if (set.m_threats.empty()) return refused(reason, "holds no name");
  return set;
}

std::string SignatureSet::lookup(std::string_view bareName) const {
  if (!IsKeyName(bareName)) return std::string();
  const auto found = m_threats.find(bareName);
  return found == m_threats.end() ? std::string() : found->second;
}

}  // namespace halvik::engine
