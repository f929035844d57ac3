#include "profile/ProfileEncoding.h"

#include <cstdint>

namespace halvik::profile {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void appendUnit(std::string& out, std::uint32_t unit, bool bigEndian) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out += bigEndian ? high : low;
  out += bigEndian ? low : high;
}

DecodedText decodeUtf16(std::string_view bytes, bool bigEndian, Encoding encoding) {
  DecodedText decoded{encoding, {}, bytes.size() % 2 == 0};
  decoded.text.reserve(bytes.size());
  const auto unitAt = [&](std::size_t i) -> std::uint32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    std::uint32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const std::uint32_t next = unitAt(i + 2);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        appendUtf8(decoded.text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      decoded.writable = false;
      unit = 0xFFFD;
    }
    appendUtf8(decoded.text, unit);
  }
  return decoded;
}

// Decodes one UTF-8 sequence at `i`; nullopt when it is not well formed.
std::optional<std::uint32_t> nextCodePoint(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + length > text.size()) return std::nullopt;
  std::uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (c & 0x3F);
  }
  static constexpr std::uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  i += length;
  return cp;
}

std::optional<std::string> encodeUtf16(std::string_view text, bool bigEndian) {
  std::string out(bigEndian ? kUtf16BeMark : kUtf16LeMark);
  out.reserve(2 + text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const auto cp = nextCodePoint(text, i);
    if (!cp) return std::nullopt;
    if (*cp >= 0x10000) {
      appendUnit(out, 0xD800 + ((*cp - 0x10000) >> 10), bigEndian);
      appendUnit(out, 0xDC00 + ((*cp - 0x10000) & 0x3FF), bigEndian);
    } else {
      appendUnit(out, *cp, bigEndian);
    }
  }
  return out;
}

}  // namespace

DecodedText decodeProfile(std::string bytes) {
  const std::string_view view(bytes);
  if (view.starts_with(kUtf8Mark)) return {Encoding::Utf8Bom, bytes.substr(kUtf8Mark.size()), true};
  if (view.starts_with(kUtf16LeMark)) return decodeUtf16(view.substr(2), false, Encoding::Utf16Le);
  if (view.starts_with(kUtf16BeMark)) return decodeUtf16(view.substr(2), true, Encoding::Utf16Be);
  return {Encoding::Bytes, std::move(bytes), true};
}

std::optional<std::string> encodeProfile(std::string_view text, Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8Bom: return std::string(kUtf8Mark).append(text);
    case Encoding::Utf16Le: return encodeUtf16(text, false);
    case Encoding::Utf16Be: return encodeUtf16(text, true);
    case Encoding::Bytes: break;
  }
  return std::string(text);
}

}  // namespace halvik::profile
