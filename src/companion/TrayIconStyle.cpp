#include "companion/TrayIconStyle.h"

#include "platform/Ascii.h"

namespace halvik::companion {

bool wantsSymbolicTrayIcon(std::string_view currentDesktop) {
  while (!currentDesktop.empty()) {
    const auto colon = currentDesktop.find(':');
    const std::string_view desktop = currentDesktop.substr(0, colon);
    for (const std::string_view symbolic : {"GNOME", "Unity", "Budgie", "Pantheon"})
      if (platform::equalsIgnoringCase(desktop, symbolic)) return true;
    if (colon == std::string_view::npos) break;
    currentDesktop.remove_prefix(colon + 1);
  }
  return false;
}

}  // namespace halvik::companion
