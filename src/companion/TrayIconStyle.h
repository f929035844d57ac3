#pragma once

#include <string_view>

namespace halvik::companion {

// Whether the desktop that XDG_CURRENT_DESKTOP names (a list separated by colons, such as
// "ubuntu:GNOME") asks for symbolic status icons: one flat colour, which its panel recolours to
// its own text. GNOME and the desktops built on its shell (Unity, Budgie, Pantheon) do; their
// panels are dark. Elsewhere the coloured shield on its light disc stays.
bool wantsSymbolicTrayIcon(std::string_view currentDesktop);

}  // namespace halvik::companion
