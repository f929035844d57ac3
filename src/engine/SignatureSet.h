#pragma once

#include "profile/ProfileIndex.h"
#include "profile/ProfileSyntax.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvik::engine {

// True when `name` can be a database key as it stands: not empty, and no blank (space, tab,
// VT, FF) at either end. Keys lose those when the database is read, and a looked-up name
// loses its spaces, so " evil.exe" would otherwise be taken for "EVIL.EXE".
bool IsKeyName(std::string_view name);

// One loaded signature set: the file names of section "Scanfiles" with their threat names,
// read under the rules of the profile reader (only the first section of a name counts, the
// first of equal keys wins, quotes are removed, values are cut to 1023 bytes, an empty value or
// an entry without "=" counts as absent), and what section "Signatures" says of it (Version,
// Date). Immutable once loaded; looked up from any thread.
class SignatureSet {
 public:
  // An empty set: it finds nothing.
  SignatureSet() = default;

  // Parses the bytes of a set file. nullopt (and the reason, in English, in *reason) when the
  // text is not a sound set (a NUL byte, a Version that is no whole number) or holds no name.
  static std::optional<SignatureSet> parse(std::string_view bytes, std::string origin, std::string* reason = nullptr);

  // The threat name stored for the bare file name `bareName` (ASCII letters in any case), or
  // empty text; empty for a name that is no key name.
  std::string lookup(std::string_view bareName) const {
    if (m_count == 0 || bareName.empty() || !mayHold(bareName)) return std::string();
    return find(bareName);
  }

  std::uint64_t version() const { return m_version; }
  const std::string& date() const { return m_date; }
  std::size_t count() const { return m_count; }
  const std::string& origin() const { return m_origin; }

 private:
  // A name and its threat name, as offsets into the text: views would not survive a move.
  struct Entry {
    std::uint32_t name;
    std::uint32_t nameSize;
    std::uint32_t threat;
    std::uint32_t threatSize;
  };
  class Reader;

  std::string_view nameOf(const Entry& entry) const {
    return std::string_view(m_text).substr(entry.name, entry.nameSize);
  }

  // The bit of a non-empty name in the quick look, from its length and its first and last bytes
  // (ASCII letters folded): most names of a disk miss every name of the set there, and are
  // turned away without hashing them.
  static std::size_t quickBit(std::string_view name) {
    const auto byte = [](char c) {
      return static_cast<std::size_t>(static_cast<unsigned char>(profile::syntax::fold(c)));
    };
    return ((name.size() * 0x9E37 + byte(name.front())) * 0x3B9 + byte(name.back())) % kQuickBits;
  }
  bool mayHold(std::string_view name) const {
    const std::size_t bit = quickBit(name);
    return (m_quick[bit / 64] >> (bit % 64)) & 1u;
  }

  // The threat name of a name the quick look lets through, or empty text.
  std::string find(std::string_view bareName) const;

  static constexpr std::size_t kQuickBits = std::size_t{1} << 14;  // of the quick look: 2 KB, kept in the nearest cache
  std::string m_text;                                              // the decoded file
  std::vector<Entry> m_entries;
  profile::ProfileIndex m_index;       // names, ASCII case folded, to their entry
  std::vector<std::uint64_t> m_quick;  // the quick look's bits of every name
  std::size_t m_count = 0;
  std::uint64_t m_version = 0;
  std::string m_date;
  std::string m_origin;
};

}  // namespace halvik::engine
