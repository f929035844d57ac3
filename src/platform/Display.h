#pragma once

// Whether the session names a display that windows could be shown on.
namespace halvik::platform {

// True when the session names a display: on Linux an X or Wayland display in the environment
// (DISPLAY, WAYLAND_DISPLAY); on Windows always (every session has a desktop).
bool displayNamed();

}  // namespace halvik::platform
