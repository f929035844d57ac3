#include "platform/Wildcard.h"

#include "platform/Ascii.h"

namespace halvik::platform {

bool matchesWildcard(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") return true;
  std::size_t n = 0, p = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || upperCase(pattern[p]) == upperCase(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      // Let the last "*" take one more byte and try again from there.
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace halvik::platform
