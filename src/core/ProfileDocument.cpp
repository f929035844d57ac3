#include "core/ProfileDocument.h"

#include "core/ProfileSyntax.h"

namespace profile {

ProfileDocument::ProfileDocument(std::string text) : m_text(std::move(text)) {
  parse();
  buildIndex();
}

void ProfileDocument::parse() {
  const std::string_view all(m_text);
  const std::string_view text = all.substr(0, syntax::parseEnd(all));
  const auto offset = [&](std::string_view part) { return static_cast<std::uint32_t>(part.data() - all.data()); };
  for (std::size_t pos = 0; pos < text.size();) {
    const syntax::LineSpan span = syntax::lineAt(text, pos);
    pos = span.end;
    const syntax::Line line = syntax::classify(text.substr(span.begin, span.contentEnd - span.begin));
    if (line.kind == syntax::LineKind::Header) {
      const auto first = static_cast<std::uint32_t>(m_entries.size());
      m_sections.push_back(Section{line.name, first, first});
    } else if (line.kind == syntax::LineKind::Entry && !m_sections.empty()) {
      m_entries.push_back(Entry{offset(line.name), static_cast<std::uint32_t>(line.name.size()), offset(line.value),
                                static_cast<std::uint32_t>(line.value.size()), line.hasEquals});
      m_sections.back().endEntry = static_cast<std::uint32_t>(m_entries.size());
    }
  }
}

void ProfileDocument::buildIndex() {
  m_sectionIndex.reset(m_sections.size());
  m_entryIndex.reset(m_entries.size());
  for (std::uint32_t s = 0; s < m_sections.size(); ++s) {
    const Section& section = m_sections[s];
    m_sectionIndex.insertFirst(ProfileIndex::hash(0, section.name), s, [&](std::uint32_t other) {
      return syntax::foldEqual(m_sections[other].name, section.name);
    });
    for (std::uint32_t e = section.firstEntry; e < section.endEntry; ++e) {
      const std::string_view entryName = name(m_entries[e]);
      m_entryIndex.insertFirst(ProfileIndex::hash(s, entryName), e, [&](std::uint32_t other) {
        return other >= section.firstEntry && other < section.endEntry && syntax::foldEqual(name(m_entries[other]), entryName);
      });
    }
  }
}

std::span<const ProfileDocument::Entry> ProfileDocument::entries(const Section& section) const {
  return std::span<const Entry>(m_entries).subspan(section.firstEntry, section.endEntry - section.firstEntry);
}

const ProfileDocument::Section* ProfileDocument::findSection(std::string_view sectionName) const {
  const auto found = m_sectionIndex.find(ProfileIndex::hash(0, sectionName), [&](std::uint32_t s) {
    return syntax::foldEqual(m_sections[s].name, sectionName);
  });
  return found ? &m_sections[*found] : nullptr;
}

const ProfileDocument::Entry* ProfileDocument::findEntry(const Section& section, std::string_view key) const {
  const auto scope = static_cast<std::uint32_t>(&section - m_sections.data());
  const auto found = m_entryIndex.find(ProfileIndex::hash(scope, key), [&](std::uint32_t e) {
    return e >= section.firstEntry && e < section.endEntry && syntax::foldEqual(name(m_entries[e]), key);
  });
  return found ? &m_entries[*found] : nullptr;
}

}  // namespace profile
