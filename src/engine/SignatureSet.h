#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace halvik::engine {

// True when `name` can be a database key as it stands: not empty, and no blank (space, tab,
// VT, FF) at either end. Keys lose those when the database is read, and a looked-up name
// loses its spaces, so " evil.exe" would otherwise be taken for "EVIL.EXE".
bool IsKeyName(std::string_view name);

// One loaded signature set: the file names of section "Scanfiles" with their threat names,
// read under the rules of the profile reader (first of equal keys wins, quotes removed, values
// cut to 1023 bytes, an empty value or an entry without "=" counts as absent), and what section
// "Signatures" says of it (Version, Date). Immutable once loaded; looked up from any thread.
class SignatureSet {
 public:
  // An empty set: it finds nothing.
  SignatureSet() = default;

  // Parses the bytes of a set file. nullopt (and the reason, in English, in *reason) when the
  // text is not a sound set (a NUL byte, a Version that is no whole number) or holds no name.
  static std::optional<SignatureSet> parse(std::string_view bytes, std::string origin, std::string* reason = nullptr);

  // The threat name stored for the bare file name `bareName` (ASCII letters in any case), or
  // empty text; empty for a name that is no key name.
  std::string lookup(std::string_view bareName) const;

  std::uint64_t version() const { return m_version; }
  const std::string& date() const { return m_date; }
  std::size_t count() const { return m_threats.size(); }
  const std::string& origin() const { return m_origin; }

 private:
  // Names hashed and compared with ASCII letters folded, so a lookup needs no upper-cased copy.
  struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const;
  };
  struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };

  std::unordered_map<std::string, std::string, FoldedHash, FoldedEqual> m_threats;
  std::uint64_t m_version = 0;
  std::string m_date;
  std::string m_origin;
};

}  // namespace halvik::engine
