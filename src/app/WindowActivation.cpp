#include "app/WindowActivation.h"

#include "app/StartupId.h"

#include <QGuiApplication>
#include <QWidget>

#ifndef _WIN32
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace halvik::app {

namespace {

#ifndef _WIN32
// Asks the X window manager to activate `window` on behalf of a launch at `time`
// (_NET_ACTIVE_WINDOW from an application). False where there is no X connection.
bool activateOnX11(QWidget& window, std::uint32_t time) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return false;
  constexpr char kName[] = "_NET_ACTIVE_WINDOW";
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
  if (!atom) return false;
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = static_cast<xcb_window_t>(window.winId());
  event.type = atom->atom;
  event.data.data32[0] = 1;  // the request of an application
  event.data.data32[1] = time;
  std::free(atom);
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
  return true;
}
#endif

}  // namespace

std::string launchToken() {
  const QByteArray wayland = qgetenv("XDG_ACTIVATION_TOKEN");
  return (wayland.isEmpty() ? qgetenv("DESKTOP_STARTUP_ID") : wayland).toStdString();
}

void bringForward(QWidget& window, const std::string& token) {
  window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  window.show();
  window.raise();
  const QString platform = QGuiApplication::platformName();
  if (!token.empty() && platform.startsWith(QLatin1String("wayland"))) {
    // Qt's next activation request presents this token to the compositor, once.
    qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token));
  }
#ifndef _WIN32
  else if (platform == QLatin1String("xcb")) {
    if (const auto time = startupIdTime(token); time && activateOnX11(window, *time)) return;
  }
#endif
  window.activateWindow();
}

}  // namespace halvik::app
