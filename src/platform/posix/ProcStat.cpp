#include "platform/posix/ProcStat.h"

#include <algorithm>
#include <charconv>

namespace halvik::platform::procstat {

std::optional<StatFields> parse(std::string_view line) {
  const auto close = line.rfind(')');
  if (close == std::string_view::npos) return std::nullopt;
  // Field 3 (the state) follows the ")" and a space; count fields from there.
  std::string_view rest = line.substr(close + 1);
  StatFields fields;
  int field = 2;
  while (!rest.empty()) {
    const auto start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    const auto end = std::min(rest.find(' '), rest.size());
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    ++field;
    if (field != 9 && field != 22) continue;
    std::uint64_t value = 0;
    const auto [next, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || next != word.data() + word.size()) return std::nullopt;
    if (field == 9) {
      fields.flags = value;
    } else {
      fields.startTime = value;
      return fields;
    }
  }
  return std::nullopt;
}

}  // namespace halvik::platform::procstat
