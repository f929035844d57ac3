#include "engine/SignatureSet.h"

#include "profile/ProfileEncoding.h"
#include "profile/ProfileSyntax.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace halvik::engine {
namespace {
// What the shared reader reads of a value: its first 1023 bytes.
constexpr std::size_t kLongestThreatName = 1023;

bool isSection(const profile::syntax::Line& header, std::string_view name, bool& seen) {
  if (!profile::syntax::foldEqual(header.name, name) || seen) return false;
  seen = true;
  return true;
}
}  // namespace

// One pass over the lines of a set, with the sections as the profile reader finds them: only
// the first section of each name counts.
class SignatureSet::Reader {
 public:
  explicit Reader(SignatureSet& set) : m_set(set) {}

  // False, with the reason, when the text is no sound set.
  bool read(std::string* reason) {
    const std::string_view text(m_set.m_text);
    const std::size_t end = profile::syntax::parseEnd(text);
    m_set.m_entries.reserve(end / 40 + 16);
    m_hashes.reserve(end / 40 + 16);
    for (std::size_t pos = 0; pos < end;) {
      const profile::syntax::LineSpan span = profile::syntax::lineAt(text.substr(0, end), pos);
      pos = span.end;
      const auto line = profile::syntax::classify(text.substr(span.begin, span.contentEnd - span.begin));
      if (line.kind == profile::syntax::LineKind::Header) {
        m_inNames = isSection(line, "Scanfiles", m_seenNames);
        m_inInfo = isSection(line, "Signatures", m_seenInfo);
      } else if (line.kind == profile::syntax::LineKind::Entry && m_inNames) {
        addName(line);
      } else if (line.kind == profile::syntax::LineKind::Entry && m_inInfo && !readInfo(line, reason)) {
        return false;
      }
    }
    index();
    return true;
  }

 private:
  std::uint32_t offsetOf(std::string_view part) const {
    return static_cast<std::uint32_t>(part.data() - m_set.m_text.data());
  }

  void addName(const profile::syntax::Line& line) {
    const std::string_view threat = line.hasEquals ? profile::syntax::stripQuotes(line.value) : std::string_view();
    const auto threatSize = static_cast<std::uint32_t>(std::min(threat.size(), kLongestThreatName));
    m_set.m_entries.push_back({offsetOf(line.name), static_cast<std::uint32_t>(line.name.size()),
                               threat.empty() ? 0u : offsetOf(threat), threatSize});
    m_hashes.push_back(profile::ProfileIndex::hash(0, line.name));
  }

  // Version and Date: the first entry of each name decides, one without "=" counting as absent.
  bool readInfo(const profile::syntax::Line& line, std::string* reason) {
    const std::string_view value = profile::syntax::stripQuotes(line.value);
    if (profile::syntax::foldEqual(line.name, "Date") && !m_seenDate) {
      m_seenDate = true;
      m_set.m_date = line.hasEquals ? std::string(value) : std::string();
    }
    if (!profile::syntax::foldEqual(line.name, "Version") || m_seenVersion) return true;
    m_seenVersion = true;
    if (!line.hasEquals) return true;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), m_set.m_version);
    if (error == std::errc() && end == value.data() + value.size() && !value.empty()) return true;
    if (reason) *reason = "its Version is not a whole number";
    return false;
  }

  // The first entry of each name goes into the index; the names with a threat name are counted.
  void index() {
    m_set.m_index.reset(m_set.m_entries.size());
    m_set.m_quick.assign(kQuickBits / 64, 0);
    constexpr std::size_t kAhead = 16;  // slots fetched ahead, so that inserting does not wait on memory
    for (std::uint32_t id = 0; id < m_set.m_entries.size(); ++id) {
      if (id + kAhead < m_hashes.size()) m_set.m_index.prefetch(m_hashes[id + kAhead]);
      const Entry& entry = m_set.m_entries[id];
      const std::string_view name = m_set.nameOf(entry);
      const bool added = m_set.m_index.insertFirst(m_hashes[id], id, [&](std::uint32_t other) {
        return profile::syntax::foldEqual(m_set.nameOf(m_set.m_entries[other]), name);
      });
      if (!added || entry.threatSize == 0 || name.empty()) continue;
      ++m_set.m_count;
      const std::size_t bit = quickBit(name);
      m_set.m_quick[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
  }

  SignatureSet& m_set;
  std::vector<std::uint32_t> m_hashes;  // of each entry's name
  bool m_inNames = false, m_seenNames = false;
  bool m_inInfo = false, m_seenInfo = false;
  bool m_seenVersion = false, m_seenDate = false;
};

bool IsKeyName(std::string_view name) {
  return !name.empty() && !profile::syntax::isSpace(name.front()) && !profile::syntax::isSpace(name.back());
}

std::optional<SignatureSet> SignatureSet::parse(std::string_view bytes, std::string origin, std::string* reason) {
  SignatureSet set;
  set.m_text = profile::decodeProfile(std::string(bytes)).text;
  set.m_origin = std::move(origin);
  const char* fault = set.m_text.size() > std::numeric_limits<std::uint32_t>::max() ? "is larger than 4 GiB"
                      : set.m_text.find('\0') != std::string::npos                  ? "holds a NUL byte"
                                                                                    : nullptr;
  if (fault) {
    if (reason) *reason = fault;
    return std::nullopt;
  }
  if (!Reader(set).read(reason)) return std::nullopt;
  if (set.m_count == 0) {
    if (reason) *reason = "holds no name";
    return std::nullopt;
  }
  return set;
}

std::string SignatureSet::find(std::string_view bareName) const {
  if (!IsKeyName(bareName)) return std::string();
  const auto id = m_index.find(profile::ProfileIndex::hash(0, bareName), [&](std::uint32_t candidate) {
    return profile::syntax::foldEqual(nameOf(m_entries[candidate]), bareName);
  });
  if (!id) return std::string();
  const Entry& entry = m_entries[*id];
  return m_text.substr(entry.threat, entry.threatSize);
}

}  // namespace halvik::engine
