#include "profile/ProfileDocument.h"

#include <algorithm>

namespace halvik::profile {

ProfileDocument::ProfileDocument(std::string text, Encoding encoding) : m_text(std::move(text)), m_encoding(encoding) {
  m_parsed = std::string_view(m_text);
  m_parsed = m_parsed.substr(0, syntax::parseEnd(m_parsed));
  buildIndex(parse());
}

bool ProfileDocument::judgement(Judge judge) const {
  if (m_judge != judge) {
    m_verdict = judge(*this);
    m_judge = judge;
  }
  return m_verdict;
}

syntax::Line ProfileDocument::lineAt(std::size_t& pos) const {
  const syntax::LineSpan span = syntax::lineAt(m_parsed, pos);
  pos = span.end;
  return syntax::classify(m_parsed.substr(span.begin, span.contentEnd - span.begin));
}

ProfileDocument::PendingEntries ProfileDocument::parse() {
  PendingEntries entries;
  // One line in 40 bytes is a fair first guess for the number of entries.
  entries.reserve(m_parsed.size() / 40 + 16);
  for (std::size_t pos = 0; pos < m_parsed.size();) {
    const std::size_t begin = pos;
    const syntax::Line line = lineAt(pos);
    if (line.kind == syntax::LineKind::Header) {
      if (!m_sections.empty()) m_sections.back().end = static_cast<std::uint32_t>(begin);
      m_sections.push_back(
          Section{line.name, static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(m_parsed.size())});
    } else if (line.kind == syntax::LineKind::Entry && !m_sections.empty()) {
      const auto scope = static_cast<std::uint32_t>(m_sections.size() - 1);
      entries.push_back({ProfileIndex::hash(scope, line.name), static_cast<std::uint32_t>(begin)});
    }
  }
  return entries;
}

void ProfileDocument::buildIndex(const PendingEntries& entries) {
  m_sectionIndex.reset(m_sections.size());
  for (std::uint32_t s = 0; s < m_sections.size(); ++s) {
    m_sectionIndex.insertFirst(ProfileIndex::hash(0, m_sections[s].name), s, [&](std::uint32_t other) {
      return syntax::foldEqual(m_sections[other].name, m_sections[s].name);
    });
  }
  // Entries go in file order, so the first of equal names in a section wins. Two entries
  // with the same hash are the same name only in the same section: their lines lie within it.
  m_entryIndex.reset(entries.size());
  constexpr std::size_t kAhead = 16;  // slots fetched ahead, so that inserting does not wait on memory
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i + kAhead < entries.size()) m_entryIndex.prefetch(entries[i + kAhead].hash);
    const PendingEntry& entry = entries[i];
    m_entryIndex.insertFirst(entry.hash, entry.offset, [&](std::uint32_t other) {
      std::size_t otherPos = other, entryPos = entry.offset;
      const auto section = std::upper_bound(m_sections.begin(), m_sections.end(), other,
                                            [](std::uint32_t offset, const Section& s) { return offset < s.begin; });
      return entry.offset < (section - 1)->end && syntax::foldEqual(lineAt(otherPos).name, lineAt(entryPos).name);
    });
  }
}

const ProfileDocument::Section* ProfileDocument::findSection(std::string_view sectionName) const {
  const auto found = m_sectionIndex.find(ProfileIndex::hash(0, sectionName), [&](std::uint32_t s) {
    return syntax::foldEqual(m_sections[s].name, sectionName);
  });
  return found ? &m_sections[*found] : nullptr;
}

std::optional<syntax::Line> ProfileDocument::findEntry(const Section& section, std::string_view key) const {
  const auto scope = static_cast<std::uint32_t>(&section - m_sections.data());
  std::optional<syntax::Line> entry;
  m_entryIndex.find(ProfileIndex::hash(scope, key), [&](std::uint32_t offset) {
    if (offset < section.begin || offset >= section.end) return false;
    std::size_t pos = offset;
    const syntax::Line line = lineAt(pos);
    if (syntax::foldEqual(line.name, key)) entry = line;
    return entry.has_value();
  });
  return entry;
}

}  // namespace halvik::profile
