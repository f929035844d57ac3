#include "monitor/ProcessSelection.h"

#include "core/mMain.h"
#include "platform/Platform.h"
#include "process/ResumedProcesses.h"
#include "process/mProcess.h"
#include "process/mdlProcess.h"

namespace halvik::monitor {

void TerminateSelection(const ProcessSelection& selection) {
  const auto current = platform::processInfo(selection.processId);
  if (current && current->imagePath == selection.imagePath && current->startTime == selection.startTime)
    process::mProcess::KillProcess(selection.processId);
  core::mMain::WriteLog("User Killed Process " + selection.imagePath);
}

void ResumeSelection(const ProcessSelection& selection) {
  // Exempt first: a check between the resumption and the record would stop it again.
  process::ResumedProcesses::add(selection.processId, selection.startTime);
  const platform::Status resumed =
      process::mdlProcess::ResumeProcess({selection.processId, selection.imagePath, selection.startTime});
  core::mMain::WriteLog(resumed ? "User Resumed Process " + selection.imagePath
                                : "User could not resume process " + selection.imagePath + ": " + resumed.text());
}

}  // namespace halvik::monitor
