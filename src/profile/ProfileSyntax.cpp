#include "profile/ProfileSyntax.h"

namespace halvik::profile::syntax {

std::string_view stripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

LineSpan lineAt(std::string_view bytes, std::size_t pos) {
  LineSpan span{pos, pos, pos};
  std::size_t i = pos;
  while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') ++i;
  span.contentEnd = i;
  if (i < bytes.size()) {
    i += (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
  }
  span.end = i;
  return span;
}

std::size_t parseEnd(std::string_view bytes) {
  return (!bytes.empty() && bytes.back() == '\x1a') ? bytes.size() - 1 : bytes.size();
}

namespace {
// Offset of the first byte of `part` inside `whole` (part is a view into whole).
std::size_t offsetIn(std::string_view whole, std::string_view part) {
  return static_cast<std::size_t>(part.data() - whole.data());
}
}  // namespace

Line classify(std::string_view text) {
  text = untilNul(text);
  Line line;
  const std::string_view trimmed = trim(text);
  if (trimmed.empty()) return line;
  if (trimmed.front() == ';') {
    line.kind = LineKind::Comment;
    return line;
  }
  if (trimmed.front() == '[') {
    line.kind = LineKind::Header;
    std::string_view name = trimmed.substr(1);
    const auto close = name.find(']');
    if (close != std::string_view::npos) name = name.substr(0, close);
    line.name = trim(name);
    return line;
  }
  line.kind = LineKind::Entry;
  const auto equals = trimmed.find('=');
  if (equals == std::string_view::npos) {
    line.name = trimmed;
    line.nameEnd = offsetIn(text, trimmed) + trimmed.size();
    return line;
  }
  line.name = trim(trimmed.substr(0, equals));
  line.nameEnd = offsetIn(text, line.name) + line.name.size();
  line.hasEquals = true;
  std::size_t after = offsetIn(text, trimmed) + equals + 1;
  while (after < text.size() && isSpace(text[after])) ++after;
  line.equalsEnd = after;
  line.value = trim(trimmed.substr(equals + 1));
  return line;
}

}  // namespace halvik::profile::syntax
