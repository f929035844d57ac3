#include "platform/TempFileName.h"

#include <cstdio>

namespace halvik::platform {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); }

// Takes a non-empty run of bytes that `accept` allows from the front of `text`.
template <typename Accept>
bool takeRun(std::string_view& text, Accept&& accept) {
  std::size_t length = 0;
  while (length < text.size() && accept(text[length])) ++length;
  text.remove_prefix(length);
  return length > 0;
}

bool takePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::string temporaryName(std::uint32_t processId, unsigned count, std::uint64_t random) {
  char text[80];
  std::snprintf(text, sizeof text, ".halvik-%lu-%u-%llx.tmp", static_cast<unsigned long>(processId), count,
                static_cast<unsigned long long>(random));
  return text;
}

bool isTemporaryName(std::string_view name) {
  if (!takePrefix(name, ".halvik-") || !takeRun(name, isDigit) || !takePrefix(name, "-") || !takeRun(name, isDigit))
    return false;
  if (takePrefix(name, "-") && !takeRun(name, isHexDigit)) return false;
  return name == ".tmp";
}

}  // namespace halvik::platform
