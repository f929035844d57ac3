#include "app/HeadlessScan.h"

#include "app/ScanCommand.h"

namespace halvik::app {

int runHeadlessScan(const std::vector<std::string>& folders, bool repair, std::ostream& out, std::ostream& err) {
  ScanOptions options;
  options.roots = folders;
  options.repair = repair;
  return runScanCommand(options, out, err);
}

}  // namespace halvik::app
