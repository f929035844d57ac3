#pragma once

#include <cstddef>
#include <string_view>

// The line rules of profile files, shared by the reader and the writer: where lines end,
// what counts as white space, how a line is classified, how names compare and how a value
// loses its quotes.
namespace halvik::profile::syntax {

// The small helpers below are inline: every lookup runs them.

// White space trimmed from file content: SP, HT, VT and FF.
inline bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

inline std::string_view trim(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Callers' section and key names lose only spaces (0x20) at both ends.
inline std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A text as a C string sees it: up to its first NUL.
inline std::string_view untilNul(std::string_view text) {
  const auto nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// ASCII letters fold A-Z to a-z; every other byte compares exactly.
inline char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool foldEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

// A value as a single read returns it: a pair of the same quote (' or ") around it is removed.
std::string_view stripQuotes(std::string_view value);

// One line of a file: [begin, contentEnd) is its text, [contentEnd, end) its terminator
// (LF, CR, CRLF or nothing for an unterminated last line).
struct LineSpan {
  std::size_t begin = 0;
  std::size_t contentEnd = 0;
  std::size_t end = 0;
};

// The line that starts at `pos` (pos < bytes.size()).
LineSpan lineAt(std::string_view bytes, std::size_t pos);

// Where the text of a file ends for parsing: a final 0x1A byte (DOS end of file) is ignored.
std::size_t parseEnd(std::string_view bytes);

enum class LineKind { Blank, Comment, Header, Entry };

// A classified line. Views point into the line's text.
struct Line {
  LineKind kind = LineKind::Blank;
  std::string_view name;      // header name or entry name, trimmed
  std::string_view value;     // entry value after the first "=", trimmed, quotes kept
  bool hasEquals = false;     // an entry without "=" has a name and no value
  std::size_t equalsEnd = 0;  // offset in the line text just past "=" and the white space after it
  std::size_t nameEnd = 0;    // offset in the line text just past the entry name
};

// Classifies the text of one line (without terminator); only the part before a NUL counts.
Line classify(std::string_view text);

}  // namespace halvik::profile::syntax
