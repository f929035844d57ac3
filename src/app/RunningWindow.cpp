#include "app/RunningWindow.h"

#include "app/WindowActivation.h"
#include "scan/ScanPage.h"
#include "ui/frmMain.h"

#include <QTimer>

namespace halvik::app {

void actOn(ui::frmMain& window, const Handover& handover) {
  bringForward(window, handover.activation);
  if (handover.page) window.SetCurrentFrame(*handover.page);
  if (handover.settings) window.showSettings();
  if (handover.folders.empty()) return;
  window.SetCurrentFrame(1);
  // A scan yields to the event loop: it starts once the request's own handler has returned.
  QTimer::singleShot(0, window.scanPage,
                     [page = window.scanPage, folders = handover.folders] { page->addFolders(folders); });
}

}  // namespace halvik::app
