#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace halvik::profile {

// One change to a profile file. Names are as they are written (spaces already trimmed);
// the value is the text to write after "=", protective quotes included.
struct ProfileEdit {
  std::string_view section;
  std::optional<std::string_view> key;    // nullopt: remove every section of this name
  std::optional<std::string_view> value;  // nullopt: remove the key from the first such section
};

// Applies `edit` to the text of a file in place: every line it does not touch keeps its bytes
// and its place. An existing key is updated where it stands; a new key goes right after the
// last entry of the first matching section (comments and blank lines after it stay below);
// a new section goes at the end. New lines end in CR LF. Removing a section keeps its
// comment lines. Returns the new text, or nullopt when the edit changes nothing.
std::optional<std::string> applyEdit(std::string_view text, const ProfileEdit& edit);

// One value to set: the key as it is written, the value with its protective quotes.
struct ProfileEntry {
  std::string_view key;
  std::string_view value;
};

// Sets every entry in `section` as applyEdit would set them one after the other (a key given
// twice keeps its last value; new keys follow each other in their order), reading the text once.
// Returns the new text, or nullopt when nothing changes.
std::optional<std::string> applyValues(std::string_view text, std::string_view section,
                                       std::span<const ProfileEntry> entries);

}  // namespace halvik::profile
