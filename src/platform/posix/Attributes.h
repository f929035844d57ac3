#pragma once

#include <cstdint>
#include <optional>

namespace halvik::platform::posix {

// No entry carries the hidden bit here: a leading dot is a naming habit, not an attribute, and
// what hides behind one (autostart entries, user services, miners) must be walked like the rest.

// Attribute bits of `name` under `folder` (an *at descriptor); nullopt when it does not exist.
std::optional<std::uint32_t> attributesAt(int folder, const char* name);

// True when `name` under `folder`, followed through links, is a folder.
bool isFolderAt(int folder, const char* name);

}  // namespace halvik::platform::posix
