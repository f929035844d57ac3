#pragma once

#include "profile/ProfileEncoding.h"
#include "profile/ProfileIndex.h"
#include "profile/ProfileSyntax.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halvik::profile {

// A profile file parsed for reading: its sections in file order (duplicates included) and an
// index that finds the first section of a name and the first entry of a key in it. The index
// keeps only line offsets: a line found is classified again when it is used, which costs less
// than keeping every entry apart from the text. Entries before the first header belong to no
// section and are never found.
class ProfileDocument {
 public:
  struct Section {
    std::string_view name;
    std::uint32_t begin = 0;  // text offset of the first line after the header
    std::uint32_t end = 0;    // text offset of the next header, or of the end of the text
  };

  // A judgment on a whole parsed file (see judgement()).
  using Judge = bool (*)(const ProfileDocument&);

  // Parses `text` (already without byte order mark; at most 4 GiB), read from a file in
  // `encoding`.
  explicit ProfileDocument(std::string text, Encoding encoding = Encoding::Bytes);
  ProfileDocument(const ProfileDocument&) = delete;
  ProfileDocument& operator=(const ProfileDocument&) = delete;

  // The whole text (a final 0x1A byte included) and the encoding of the file it came from.
  std::string_view text() const { return m_text; }
  Encoding encoding() const { return m_encoding; }

  // What `judge` says of this document, worked out at the first call and kept for the later
  // calls with the same judge: a parsed copy never changes. Not thread-safe by itself: the
  // cache hands documents out under its lock.
  bool judgement(Judge judge) const;

  const std::vector<Section>& sections() const { return m_sections; }

  // The first section named `name` (ASCII case folded), or null.
  const Section* findSection(std::string_view name) const;

  // The first entry named `key` in `section`, with or without "=": its classified line.
  std::optional<syntax::Line> findEntry(const Section& section, std::string_view key) const;

  // Calls `visit(line)` for each entry line of `section` in file order until it returns false.
  template <typename Visit>
  void forEachEntry(const Section& section, Visit&& visit) const {
    for (std::size_t pos = section.begin; pos < section.end;) {
      const syntax::Line line = lineAt(pos);
      if (line.kind == syntax::LineKind::Entry && !visit(line)) return;
    }
  }

 private:
  // Classifies the line at `pos` and moves `pos` to the next line.
  syntax::Line lineAt(std::size_t& pos) const;
  struct PendingEntry {
    std::uint32_t hash;
    std::uint32_t offset;
  };
  using PendingEntries = std::vector<PendingEntry>;
  // Finds the sections and returns the entries met, in file order, for the index.
  PendingEntries parse();
  void buildIndex(const PendingEntries& entries);

  std::string m_text;
  Encoding m_encoding;
  mutable Judge m_judge = nullptr;
  mutable bool m_verdict = false;
  std::string_view m_parsed;  // the text without a final 0x1A byte
  std::vector<Section> m_sections;
  ProfileIndex m_sectionIndex;
  ProfileIndex m_entryIndex;
};

}  // namespace halvik::profile
