#pragma once

#include <optional>
#include <string>
#include <string_view>

// The encodings a profile file may have, told by its first bytes. Files without a byte
// order mark are bytes and are never transcoded. A UTF-8 mark is skipped for parsing and
// kept on rewrite. UTF-16 files (either byte order) are read and written as UTF-8 text at
// the interface and written back in their own encoding, so they are never corrupted.
namespace halvik::profile {

enum class Encoding { Bytes, Utf8Bom, Utf16Le, Utf16Be };

struct DecodedText {
  Encoding encoding = Encoding::Bytes;
  std::string text;      // the content to parse, without byte order mark
  bool writable = true;  // false when the file could not be written back exactly as it was
};

// Splits off the byte order mark and converts UTF-16 to UTF-8. UTF-16 that is not
// well formed (a lone surrogate, an odd length) still reads, as far as it goes, but is
// marked not writable.
DecodedText decodeProfile(std::string bytes);

// The bytes of a file holding `text` in `encoding`, mark included; nullopt when `text`
// cannot be expressed in it (not valid UTF-8 for a UTF-16 file).
std::optional<std::string> encodeProfile(std::string_view text, Encoding encoding);

}  // namespace halvik::profile
