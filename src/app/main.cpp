#include "app/CommandLine.h"
#include "app/HeadlessScan.h"
#include "scan/ScanPage.h"
#include "ui/Fonts.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QTimer>

#include <iostream>
#include <string>
#include <vector>

namespace {

// The window, on the page or with the dialog the command line asks for; folders open the scan
// page and are scanned in turn, the first as soon as the event loop runs.
int runWindow(char* programName, const cli::Request& request, const std::vector<std::string>& folders) {
  // Qt sees only the program name: a folder named like one of its options stays a folder.
  int argc = 1;
  char* argv[] = {programName, nullptr};
  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("example.orvento.Halvik"));  // the desktop entry's id
  QApplication::setFont(fonts::ui());
  frmMain window;
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

int main(int argc, char* argv[]) {
  const cli::Request request = cli::parse(std::vector<std::string>(argv + 1, argv + argc));
  switch (request.action) {
    case cli::Action::Help: std::cout << cli::helpText(); return cli::kNothingFound;
    case cli::Action::Version: std::cout << cli::versionText(); return cli::kNothingFound;
    case cli::Action::Error: std::cerr << request.message << '\n'; return cli::kUsageOrRunError;
    case cli::Action::Scan:
    case cli::Action::Window: break;
  }
  if (const auto problem = cli::firstPathProblem(request.paths)) {
    std::cerr << *problem << '\n';
    return cli::kUsageOrRunError;
  }
  const std::vector<std::string> folders = cli::absolutePaths(request.paths);
  if (request.action == cli::Action::Scan) return cli::runHeadlessScan(folders, request.repair, std::cout, std::cerr);
  return runWindow(argv[0], request, folders);
}
