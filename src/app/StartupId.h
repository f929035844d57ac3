#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace halvik::app {

// The X server time at which a launcher started a program, as the startup notification's
// identifier ends with it ("..._TIME<time>"); nullopt when the identifier carries none. A window
// asks to come forward with this time so that the window manager weighs the launch, not the
// window's own last event, against what the user did since.
std::optional<std::uint32_t> startupIdTime(std::string_view id);

}  // namespace halvik::app
