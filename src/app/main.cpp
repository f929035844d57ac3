#include "ui/Fonts.h"
#include "ui/frmMain.h"

#include <QApplication>

#include <cstdlib>
#include <string>

namespace {

// Hook for scripts/screenshot: ORVENTO_HALVIK_SHOW names the page to show at start ("0" to
// "4") or "settings" for the settings dialog. Unset, the program starts as usual.
void showRequestedView(frmMain& window) {
  const char* request = std::getenv("ORVENTO_HALVIK_SHOW");
  if (!request) return;
  const std::string view(request);
  if (view == "settings")
    window.showSettings();
  else if (view.size() == 1 && view[0] >= '0' && view[0] <= '4')
    window.SetCurrentFrame(view[0] - '0');
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setFont(fonts::ui());
  frmMain window;
  window.show();
  showRequestedView(window);
  return QApplication::exec();
}
