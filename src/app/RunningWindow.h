#pragma once

#include "app/Handover.h"

namespace halvik::ui {
class frmMain;
}

namespace halvik::app {

// The running window takes a later start's request: it comes to the front, shows the page or the
// settings dialog asked for, and queues the folders for scanning as if they had been given at
// its own start.
void actOn(ui::frmMain& window, const Handover& handover);

}  // namespace halvik::app
