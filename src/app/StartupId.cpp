#include "app/StartupId.h"

#include <charconv>

namespace halvik::app {

std::optional<std::uint32_t> startupIdTime(std::string_view id) {
  constexpr std::string_view kMark = "_TIME";
  const auto mark = id.rfind(kMark);
  if (mark == std::string_view::npos) return std::nullopt;
  const std::string_view digits = id.substr(mark + kMark.size());
  std::uint32_t time = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), time);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || time == 0) return std::nullopt;
  return time;
}

}  // namespace halvik::app
