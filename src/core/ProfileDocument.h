#pragma once

#include "core/ProfileIndex.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// A profile file parsed for reading: its sections in file order (duplicates included), the
// entries of each, and an index that finds the first section of a name and the first entry
// of a key in it. Entries before the first header belong to no section and are not kept.
class ProfileDocument {
 public:
  struct Entry {
    std::uint32_t nameOffset = 0;
    std::uint32_t nameLength = 0;
    std::uint32_t valueOffset = 0;
    std::uint32_t valueLength = 0;  // trimmed, quotes kept
    bool hasEquals = false;
  };
  struct Section {
    std::string_view name;
    std::uint32_t firstEntry = 0;
    std::uint32_t endEntry = 0;
  };

  // Parses `text` (already without byte order mark). Files larger than 4 GiB are not
  // parsed here: the caller refuses them.
  explicit ProfileDocument(std::string text);
  ProfileDocument(const ProfileDocument&) = delete;
  ProfileDocument& operator=(const ProfileDocument&) = delete;

  const std::vector<Section>& sections() const { return m_sections; }
  std::span<const Entry> entries(const Section& section) const;

  std::string_view name(const Entry& entry) const { return {m_text.data() + entry.nameOffset, entry.nameLength}; }
  std::string_view value(const Entry& entry) const { return {m_text.data() + entry.valueOffset, entry.valueLength}; }

  // The first section named `name` (ASCII case folded), or null.
  const Section* findSection(std::string_view name) const;
  // The first entry named `key` in `section`, with or without "=", or null.
  const Entry* findEntry(const Section& section, std::string_view key) const;

 private:
  void parse();
  void buildIndex();

  std::string m_text;
  std::vector<Section> m_sections;
  std::vector<Entry> m_entries;
  ProfileIndex m_sectionIndex;
  ProfileIndex m_entryIndex;
};

}  // namespace profile
