#include "quarantine/CopyNumber.h"

#include <cctype>
#include <string_view>

namespace halvik::quarantine {
namespace {

// Where the last extension of `name` starts: its last dot unless that opens the name; the
// name's end when it has none.
std::size_t extensionStart(const std::string& name) {
  const auto dot = name.rfind('.');
  return dot != std::string::npos && dot > 0 ? dot : name.size();
}

// The first `size` bytes of `text`, not ending inside a UTF-8 sequence when that can be avoided.
std::string cut(const std::string& text, std::size_t size) {
  if (size >= text.size()) return text;
  std::size_t end = size;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end > 0 ? end : size);
}

}  // namespace

std::string withCopyNumber(const std::string& name, int number, std::size_t maxBytes) {
  const std::size_t dot = extensionStart(name);
  std::string stem = name.substr(0, dot);
  std::string extension = name.substr(dot);
  const std::string tag = number > 1 ? " (" + std::to_string(number) + ")" : std::string();
  const std::size_t room = maxBytes - tag.size();
  if (stem.size() + extension.size() > room) {
    if (extension.size() < room) {
      stem = cut(stem, room - extension.size());
    } else {
      stem = cut(stem + extension, room);
      extension.clear();
    }
  }
  return stem + tag + extension;
}

std::optional<std::string> withoutCopyNumber(const std::string& name) {
  const std::size_t stemEnd = extensionStart(name);
  const std::string_view stem(name.data(), stemEnd);
  if (stem.size() < 4 || stem.back() != ')') return std::nullopt;
  const auto open = stem.rfind(" (");
  if (open == std::string_view::npos || open == 0 || open + 3 > stem.size() - 1) return std::nullopt;
  for (std::size_t i = open + 2; i + 1 < stem.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(stem[i]))) return std::nullopt;
  return name.substr(0, open) + name.substr(stemEnd);
}

}  // namespace halvik::quarantine
