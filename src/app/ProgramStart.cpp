#include "app/ProgramStart.h"

#include "app/HeadlessWatch.h"
#include "app/ScanCommand.h"
#include "app/SignatureCommands.h"
#include "app/SignaturesReport.h"
#include "engine/SignatureUpdate.h"
#include "platform/Environment.h"

#include <iostream>

namespace halvik::app {
namespace {

int runScan(const Request& request, const std::vector<std::string>& roots) {
  std::string problem;
  const auto options = scanOptions(request, roots, problem);
  if (!options) {
    std::cerr << problem << '\n';
    return kUsageOrRunError;
  }
  return runScanCommand(*options, std::cout, std::cerr);
}

}  // namespace

int runCommandLine(int argc, char* argv[], const WindowStart& window) {
  // Without its own folder the program would take its signatures from wherever it was started.
  if (platform::environment().programFolder.empty()) {
    std::cerr << message("dossier du programme introuvable") << '\n';
    return kUsageOrRunError;
  }
  engine::verifyUpdatesWithTrustedKeys();
  const Request request = parse(std::vector<std::string>(argv + 1, argv + argc));
  switch (request.action) {
    case Action::Help: std::cout << helpText(); return kNothingFound;
    case Action::Version: std::cout << versionText(); return kNothingFound;
    case Action::Signatures: return reportSignatures(std::cout);
    case Action::Error: std::cerr << request.message << '\n'; return kUsageOrRunError;
    case Action::Update: return runUpdate(request.source, std::cout, std::cerr);
    case Action::Rollback: return runRollback(std::cout, std::cerr);
    case Action::Scan:
    case Action::Watch:
    case Action::Window: break;
  }
  const bool scan = request.action == Action::Scan;
  if (const auto problem = scan ? firstScanPathProblem(request.paths) : firstPathProblem(request.paths)) {
    std::cerr << *problem << '\n';
    return kUsageOrRunError;
  }
  const std::vector<std::string> folders = absolutePaths(request.paths);
  if (scan) return runScan(request, folders);
  if (request.action == Action::Watch)
    return runHeadlessWatch(folders, request.repair, request.format, std::cout, std::cerr);
  return window(request, folders);
}

}  // namespace halvik::app
