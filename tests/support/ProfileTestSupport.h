#pragma once

#include "profile/Profile.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace halvik::testing_support {

// The files of the rule vectors.
inline const std::string F1 = "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";
inline const std::string F1cr = "[section1]\rname1=val1\rname2=\"val2\"\rname3\rname4=a\r[section2]\r";
inline const std::string F2 =
    std::string("[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n[section2]\r\n[section3]\r\n=val5\r\n\0",
                83);
inline const std::string F3 = "[ section1 ]\r\n[section2]\r\n[section3]\r\n";
inline const std::optional<std::string> kNoFile;

// One WritePrivateProfileString call of a write vector.
struct Write {
  const char* section;
  const char* key;
  const char* value;
};

// A C string argument of the profile functions: nullptr stands for the null pointer.
inline profile::Text text(const char* value) { return value ? profile::Text(value) : std::nullopt; }

// Files for profile tests, each under a name of its own: the reader keeps parsed copies of
// files for up to 100 ms, so a test never rewrites a file it has read behind its back.
class ProfileFiles {
 public:
  // A new file holding `content`, or a new name with no file when `content` is nullopt.
  std::string make(const std::optional<std::string>& content) {
    const std::string path = m_folder / ("profile" + std::to_string(m_count++) + ".ini");
    if (content) writeFile(path, *content);
    return path;
  }
  const TempFolder& folder() const { return m_folder; }

 private:
  TempFolder m_folder;
  int m_count = 0;
};

struct BufferResult {
  std::string bytes;  // the whole buffer after the call
  std::uint32_t count = 0;
  bool guardIntact = true;  // nothing was written past the buffer
};

// Calls `read` with a buffer of `size` bytes prefilled with 0x7F and followed by guard bytes.
template <typename Read>
BufferResult withBuffer(std::size_t size, Read&& read) {
  std::vector<char> storage(size + 16, '\x7f');
  BufferResult result;
  result.count = read(std::span<char>(storage.data(), size));
  result.bytes.assign(storage.data(), size);
  for (std::size_t i = size; i < storage.size(); ++i) result.guardIntact = result.guardIntact && storage[i] == '\x7f';
  return result;
}

inline BufferResult GP(const std::string& file, const char* section, const char* key, const char* defaultText,
                       std::size_t size) {
  return withBuffer(size, [&](std::span<char> buffer) {
    return profile::getString(text(section), text(key), text(defaultText), buffer, file);
  });
}

inline BufferResult GS(const std::string& file, const char* section, std::size_t size) {
  return withBuffer(size, [&](std::span<char> buffer) { return profile::getSection(text(section), buffer, file); });
}

inline bool WP(const std::string& file, const char* section, const char* key, const char* value) {
  return profile::writeString(text(section), text(key), text(value), file);
}

}  // namespace halvik::testing_support
