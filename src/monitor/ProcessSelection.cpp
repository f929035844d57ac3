#include "monitor/ProcessSelection.h"

#include "core/mMain.h"
#include "platform/Platform.h"
#include "process/mProcess.h"

namespace halvik::monitor {

void TerminateSelection(const ProcessSelection& selection) {
  const auto current = platform::processInfo(selection.processId);
  if (current && current->imagePath == selection.imagePath && current->startTime == selection.startTime)
    process::mProcess::KillProcess(selection.processId);
  core::mMain::WriteLog("User Killed Process " + selection.imagePath);
}

}  // namespace halvik::monitor
