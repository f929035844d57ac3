#include "process/ProcessCheck.h"

#include "core/Locations.h"
#include "core/mMain.h"
#include "engine/SignatureDb.h"
#include "platform/Platform.h"
#include "process/mdlProcess.h"

#include <utility>

namespace halvik::process::ProcessCheck {

Verdict CheckRunningProcess(const std::string& imagePath, std::uint32_t processId, std::uint64_t startTime) {
  std::string threat = engine::LookupThreat(imagePath);
  if (threat.empty()) return {kClean, kNoAction};
  if (processId == platform::currentProcessId() || core::isOwnProgram(imagePath)) return {std::move(threat), kNoAction};
  const std::string found = engine::FileNameOf(imagePath) + ", a running process, is found as malicious";
  if (const platform::Status suspended = process::mdlProcess::SuspendProcess({processId, imagePath, startTime});
      !suspended) {
    core::mMain::WriteLog(found + " but could not be suspended: " + threat + ": " + suspended.text(),
                          {core::LogKind::Suspension, threat, imagePath, "not-suspended", {}});
    return {std::move(threat), kNoAction};
  }
  // "Suspsending" is misspelt in every log written so far: kept so readers of the logs still match the line.
  core::mMain::WriteLog(found + ". Suspsending: " + threat,
                        {core::LogKind::Suspension, threat, imagePath, "suspended", {}});
  return {std::move(threat), kSuspended};
}

}  // namespace halvik::process::ProcessCheck
