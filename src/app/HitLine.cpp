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

std::string repairedLine(scan::RepairOutcome outcome, bool quarantined, const std::string& threatName,
                         const std::string& path) {
  const char* verdict = outcome == scan::RepairOutcome::Gone      ? "non supprim\u00E9 : disparu depuis le scan"
                        : outcome != scan::RepairOutcome::Removed ? "non supprim\u00E9"
                        : quarantined                             ? "copi\u00E9 en quarantaine puis supprim\u00E9"
                                                                  : "supprim\u00E9";
  return verdict + ('\t' + hitLine(threatName, path));
}

}  // namespace halvik::app
