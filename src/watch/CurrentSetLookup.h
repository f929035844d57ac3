#pragma once

#include <string>
#include <string_view>

namespace halvik::watch {

// The threat the current signature set holds for `bareName` (as the walk looks it up), or empty
// text. Each call reads the set current at that moment, so that a reloaded set is used at once.
std::string currentSetThreat(std::string_view bareName);

}  // namespace halvik::watch
