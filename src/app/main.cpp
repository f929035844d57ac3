// The window program: orvento-halvik-window on Linux, run by the front orvento-halvik when a
// window is wanted; on Windows orvento-halvik.exe itself. It runs the terminal commands too.
#include "app/ProgramStart.h"
#include "app/RunningWindow.h"
#include "app/SingleWindow.h"
#include "app/WindowActivation.h"
#include "scan/ScanPage.h"
#include "ui/frmMain.h"
#include "widgets/Fonts.h"
#include "widgets/NoDisplay.h"
#include "widgets/QtFrench.h"

#include <QApplication>
#include <QTimer>

#include <vector>

namespace halvik::app {

namespace {

// The window, on the page or with the dialog the command line asks for; folders open the scan
// page and are scanned in turn, the first as soon as the event loop runs.
int runWindow(char* programName, const app::Request& request, const std::vector<std::string>& folders) {
  if (!widgets::displayAvailable()) return widgets::kNoDisplayStatus;
  const std::string token = app::launchToken();
  // Qt sees only the program name: a folder named like one of its options stays a folder.
  int argc = 1;
  char* argv[] = {programName, nullptr};
  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("example.orvento.Halvik"));  // the desktop entry's id
  QApplication::setFont(widgets::fonts::ui());
  widgets::installQtFrench(application);
  app::SingleWindow single;
  if (single.handOver({request.page, request.settings, folders, token})) return app::kNothingFound;
  ui::frmMain window;
  QObject::connect(&single, &app::SingleWindow::received, &window,
                   [&window](const app::Handover& handover) { app::actOn(window, handover); });
  window.show();
  if (request.page) window.SetCurrentFrame(*request.page);
  if (request.settings) window.showSettings();
  if (!folders.empty()) {
    window.SetCurrentFrame(1);
    QTimer::singleShot(0, window.scanPage, [&window, folders] { window.scanPage->scanFolders(folders); });
  }
  return QApplication::exec();
}

}  // namespace

int run(int argc, char* argv[]) {
  return runCommandLine(argc, argv,
                        [programName = argv[0]](const Request& request, const std::vector<std::string>& folders) {
                          return runWindow(programName, request, folders);
                        });
}

}  // namespace halvik::app

int main(int argc, char* argv[]) { return halvik::app::run(argc, argv); }
