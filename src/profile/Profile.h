#pragma once

#include "platform/ProfileFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

// Private-profile (INI) files: our own work-alike of the platform's profile reader and
// writer, with the same rules on every system (see the README's notes on profile files).
// Parsed files are kept in memory and answered from that copy while the file on disk is
// unchanged; every write is atomic and locked against other running copies.
namespace halvik::profile {

// A name or text as the C interface passes it: nullopt stands for the null pointer.
// A text is taken up to its first NUL byte, as a C string would be.
using Text = std::optional<std::string_view>;

// Reads one value (section and key given), the key names of a section (key null) or the
// section names (section null) into `buffer`, following the platform's rules for defaults,
// quotes, truncation and lists. Returns the number of bytes copied, not counting the final NUL.
std::uint32_t getString(Text section, Text key, Text defaultText, std::span<char> buffer, const std::string& file);

// The entries of a section as "name=value" strings, each ending in NUL, the list in one more NUL.
std::uint32_t getSection(Text section, std::span<char> buffer, const std::string& file);

// Sets (value given), removes a key (value null) or removes a section (key null).
// False when nothing was written: bad names or values, an unwritable folder, a failed write.
bool writeString(Text section, Text key, Text value, const std::string& file);

// Sets every key of `entries` in `section` in one locked write, as writeString would one after
// the other (a key given twice keeps its last value). With `growth` Append, new lines that only
// add to the end of the file are appended in place (platform::replaceFile). False when nothing
// was written: a bad name or value among them (then none is written), an unwritable folder, a
// failed write.
bool writeStrings(std::string_view section, std::span<const std::pair<std::string, std::string>> entries,
                  const std::string& file, platform::Growth growth = platform::Growth::Rewrite);

// The whole value of `key` in `section`, without any buffer limit; nullopt when the file,
// the section or the key is absent (an entry without "=" counts as absent).
std::optional<std::string> lookup(std::string_view section, std::string_view key, const std::string& file);

class ProfileDocument;

// lookup, answered only from a file that `accept` finds fit (nullopt otherwise). The
// judgment is made once per parsed copy of the file, so that a check of the whole file costs
// nothing while the file stays as it is.
std::optional<std::string> lookup(std::string_view section, std::string_view key, const std::string& file,
                                  bool (*accept)(const ProfileDocument&));

}  // namespace halvik::profile
