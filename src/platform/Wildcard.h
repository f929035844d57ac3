#pragma once

#include <string_view>

namespace halvik::platform {

// The wildcard rule of listFolder on every system: "*" any run of bytes, "?" one byte, ASCII
// letters compared without regard to case, "*.*" every name.
bool matchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace halvik::platform
