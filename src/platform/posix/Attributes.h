#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace halvik::platform::posix {

// Hidden entries are those whose name starts with "."; the "." and ".." entries of a
// listing are the folder and its parent and are not hidden.
bool isHiddenName(std::string_view name);

// Attribute bits of `name` under `folder` (an *at descriptor); nullopt when it does not exist.
std::optional<std::uint32_t> attributesAt(int folder, const char* name, std::string_view leaf);

// True when `name` under `folder`, followed through links, is a folder.
bool isFolderAt(int folder, const char* name);

}  // namespace halvik::platform::posix
