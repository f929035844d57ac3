#pragma once

#include <string>
#include <string_view>

// The byte-wise text rules every layer shares. Letter case is ASCII only: "a" to "z" and "A"
// to "Z" change or fold, every other byte (UTF-8 sequences and the system's 8-bit encoding
// included) stays as it is and compares exactly.
namespace halvik::platform {

// Upper-cases an ASCII letter; every other byte stays as it is.
inline char upperCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// `text` with its ASCII letters upper-cased.
std::string upperCase(std::string text);

// True when `a` and `b` are the same but for the case of ASCII letters.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// A control byte: below 0x20 (space), or DEL (0x7F).
inline bool isControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// The blanks that settings and profile files trim: space, tab, vertical tab and form feed.
inline constexpr std::string_view kBlanks = " \t\v\f";

// `text` without the bytes of `blanks` at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks = kBlanks);

}  // namespace halvik::platform
