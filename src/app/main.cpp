#include "app/CommandLine.h"
#include "app/HeadlessWatch.h"
#include "app/RunningWindow.h"
#include "app/ScanCommand.h"
#include "app/SignatureCommands.h"
#include "app/SignaturesReport.h"
#include "app/SingleWindow.h"
#include "app/WindowActivation.h"
#include "engine/SignatureUpdate.h"
#include "platform/Environment.h"
#include "scan/ScanPage.h"
#include "ui/frmMain.h"
#include "widgets/Fonts.h"
#include "widgets/NoDisplay.h"
#include "widgets/QtFrench.h"

#include <QApplication>
#include <QTimer>

#include <iostream>
#include <string>
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

int runScan(const app::Request& request, const std::vector<std::string>& roots) {
  std::string problem;
  const auto options = app::scanOptions(request, roots, problem);
  if (!options) {
    std::cerr << problem << '\n';
    return app::kUsageOrRunError;
  }
  return app::runScanCommand(*options, std::cout, std::cerr);
}

}  // namespace

int run(int argc, char* argv[]) {
  // Without its own folder the program would take its signatures from wherever it was started.
  if (platform::environment().programFolder.empty()) {
    std::cerr << app::message("dossier du programme introuvable") << '\n';
    return app::kUsageOrRunError;
  }
  engine::verifyUpdatesWithTrustedKeys();
  const app::Request request = app::parse(std::vector<std::string>(argv + 1, argv + argc));
  switch (request.action) {
    case app::Action::Help: std::cout << app::helpText(); return app::kNothingFound;
    case app::Action::Version: std::cout << app::versionText(); return app::kNothingFound;
    case app::Action::Signatures: return app::reportSignatures(std::cout);
    case app::Action::Error: std::cerr << request.message << '\n'; return app::kUsageOrRunError;
    case app::Action::Update: return app::runUpdate(request.source, std::cout, std::cerr);
    case app::Action::Rollback: return app::runRollback(std::cout, std::cerr);
    case app::Action::Scan:
    case app::Action::Watch:
    case app::Action::Window: break;
  }
  const bool scan = request.action == app::Action::Scan;
  if (const auto problem = scan ? app::firstScanPathProblem(request.paths) : app::firstPathProblem(request.paths)) {
    std::cerr << *problem << '\n';
    return app::kUsageOrRunError;
  }
  const std::vector<std::string> folders = app::absolutePaths(request.paths);
  if (scan) return runScan(request, folders);
  if (request.action == app::Action::Watch)
    return app::runHeadlessWatch(folders, request.repair, request.format, std::cout, std::cerr);
  return runWindow(argv[0], request, folders);
}

}  // namespace halvik::app

int main(int argc, char* argv[]) { return halvik::app::run(argc, argv); }
