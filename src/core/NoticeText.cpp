#include "core/NoticeText.h"

#include "platform/Ascii.h"

namespace halvik::core {
namespace {
// The line breaks of Unicode beyond the control characters, in UTF-8: U+0085 (NEL), U+2028
// (line separator) and U+2029 (paragraph separator). Some viewers break lines at them.
constexpr std::string_view kUnicodeBreaks[] = {"\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"};

// The length of the line break that starts `text`, 0 when there is none.
std::size_t breakAt(std::string_view text) {
  if (platform::isControl(text.front())) return 1;
  for (const std::string_view lineBreak : kUnicodeBreaks)
    if (text.starts_with(lineBreak)) return lineBreak.size();
  return 0;
}

// The entity of a character that markup reads as syntax; empty for any other.
std::string_view entityOf(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    default: return {};
  }
}
}  // namespace

std::string oneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = breakAt(text);
    line += length ? '?' : text.front();
    text.remove_prefix(length ? length : 1);
  }
  return line;
}

std::string noticeText(std::string_view text, NoticeMarkup markup) {
  const std::string line = oneLine(text);
  if (markup == NoticeMarkup::Plain) return line;
  std::string escaped;
  escaped.reserve(line.size());
  for (const char c : line) {
    const std::string_view entity = entityOf(c);
    if (entity.empty())
      escaped += c;
    else
      escaped += entity;
  }
  return escaped;
}

}  // namespace halvik::core
