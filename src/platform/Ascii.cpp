#include "platform/Ascii.h"

#include <algorithm>

namespace halvik::platform {

std::string upperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return upperCase(c); });
  return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return upperCase(x) == upperCase(y); });
}

std::string_view trimmed(std::string_view text, std::string_view blanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return text.substr(text.size());
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace halvik::platform
