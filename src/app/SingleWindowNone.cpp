// The Windows build's Qt has no local sockets (Qt Network): every start there opens its own
// window, as before.
#include "app/SingleWindow.h"

namespace halvik::app {

SingleWindow::SingleWindow() = default;
SingleWindow::~SingleWindow() = default;

bool SingleWindow::handOver(const Handover& /*handover*/) { return false; }

}  // namespace halvik::app
