#include "engine/ProcessCheck.h"

#include "core/Locations.h"
#include "core/mMain.h"
#include "engine/SignatureDb.h"
#include "platform/Platform.h"
#include "process/mdlProcess.h"

namespace ProcessCheck {

Verdict CheckRunningProcess(const std::string& imagePath, std::uint32_t processId) {
  std::string threat = LookupThreat(imagePath);
  if (threat.empty()) return {kClean, kNoAction};
  if (processId == platform::currentProcessId() || core::isOwnProgram(imagePath)) return {std::move(threat), kNoAction};
  mMain::WriteLog(FileNameOf(imagePath) + ", a running process, is found as malicious. Suspsending: " + threat);
  mdlProcess::SuspendProcess(processId);
  return {std::move(threat), kSuspended};
}

}  // namespace ProcessCheck
