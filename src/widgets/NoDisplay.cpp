#include "widgets/NoDisplay.h"

#include "platform/Display.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace halvik::widgets {

const char* const kNoDisplayMessage =
    "Aucun affichage disponible : lancez orvento-halvik dans une session graphique, ou utilisez --scan.";

namespace {

QtMessageHandler previousHandler = nullptr;

void sayNoDisplay() { std::fprintf(stderr, "%s\n", kNoDisplayMessage); }

// Qt ends the program when no platform plugin starts; that is a missing display to the user.
void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg && message.contains(QStringLiteral("platform plugin"))) {
    sayNoDisplay();
    std::_Exit(kNoDisplayStatus);
  }
  if (previousHandler) previousHandler(type, context, message);
}

// The platforms that show windows on the session's display; any other one (offscreen, a frame
// buffer, a remote one) is Qt's to start.
bool needsSessionDisplay() {
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
  return platform.isEmpty() || platform.startsWith(QStringLiteral("xcb")) ||
         platform.startsWith(QStringLiteral("wayland"));
}

}  // namespace

bool displayAvailable() {
  if (needsSessionDisplay() && !platform::displayNamed()) {
    sayNoDisplay();
    return false;
  }
  previousHandler = qInstallMessageHandler(handleMessage);
  return true;
}

}  // namespace halvik::widgets
