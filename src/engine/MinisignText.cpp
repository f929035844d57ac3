#include "engine/MinisignText.h"

#include <sodium.h>

namespace halvik::engine::minisign {

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> found;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    found.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return found;
}

std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view line, std::size_t size) {
  if (!sodiumReady()) return std::nullopt;
  std::vector<std::uint8_t> bytes(size);
  std::size_t length = 0;
  const char* end = nullptr;
  if (sodium_base642bin(bytes.data(), bytes.size(), line.data(), line.size(), nullptr, &length, &end,
                        sodium_base64_VARIANT_ORIGINAL) != 0 ||
      end != line.data() + line.size() || length != size)
    return std::nullopt;
  return bytes;
}

bool sodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

}  // namespace halvik::engine::minisign
