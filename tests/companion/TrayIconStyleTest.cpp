#include "companion/TrayIconStyle.h"

#include <gtest/gtest.h>

namespace halvik::companion {

namespace {

TEST(TrayIconStyle, SymbolicWhereAnyDesktopOfTheListIsOfTheGnomeShellFamily) {
  for (const char* symbolic : {"GNOME", "ubuntu:GNOME", "gnome", "Budgie:GNOME", "Pantheon", "Unity"})
    EXPECT_TRUE(wantsSymbolicTrayIcon(symbolic)) << symbolic;
  for (const char* coloured : {"", "KDE", "XFCE", "X-Cinnamon", "MATE", "LXQt", "GNOME-Flashback-x", ":", "GNOMEx"})
    EXPECT_FALSE(wantsSymbolicTrayIcon(coloured)) << coloured;
}

}  // namespace

}  // namespace halvik::companion
