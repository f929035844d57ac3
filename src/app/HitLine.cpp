#include "app/HitLine.h"

#include "platform/Ascii.h"

namespace halvik::app {

std::string escapedForLine(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line;
  line.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      line += "\\\\";
    } else if (c == '\t') {
      line += "\\t";
    } else if (c == '\n') {
      line += "\\n";
    } else if (platform::isControl(c)) {
      line += "\\x";
      line += kHex[byte >> 4];
      line += kHex[byte & 0x0F];
    } else {
      line += c;
    }
  }
  return line;
}

std::string hitLine(const std::string& threatName, const std::string& path) {
  return escapedForLine(threatName) + '\t' + escapedForLine(path);
}

}  // namespace halvik::app
