#include "companion/MainProgram.h"

#include "core/Locations.h"
#include "platform/Platform.h"

namespace halvik::companion::MainProgram {

std::string path() { return core::programFile(core::kMainProgram); }

bool open() {
  for (const platform::ProcessInfo& process : platform::listProcesses())
    if (core::isProgramFile(process.imagePath, core::kWindowProgram) && platform::raiseWindowsOf(process.processId))
      return true;
  return platform::startProgram(path(), {}).ok();
}

bool openMonitorPage() { return platform::startProgram(path(), {"--page", "2"}).ok(); }

bool scanFolder(const std::string& folder) { return platform::startProgram(path(), {folder}).ok(); }

}  // namespace halvik::companion::MainProgram
