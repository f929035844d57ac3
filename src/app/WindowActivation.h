#pragma once

#include <string>

class QWidget;

namespace halvik::app {

// The token this start's launcher gave it for its window to come forward past the desktop's
// focus-stealing prevention: XDG_ACTIVATION_TOKEN on Wayland, DESKTOP_STARTUP_ID on X11; empty
// when none. Read before the application object exists, since Qt takes both for itself.
std::string launchToken();

// Shows `window` unminimized at the front and gives it the focus, with `token` (a later start's
// launchToken, or empty) where the desktop asks for one.
void bringForward(QWidget& window, const std::string& token);

}  // namespace halvik::app
