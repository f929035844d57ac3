#include "process/ProcessCheck.h"

#include "core/Locations.h"
#include "core/mMain.h"
#include "engine/SignatureDb.h"
#include "platform/Platform.h"
#include "process/ResumedProcesses.h"
#include "process/mdlProcess.h"

#include <mutex>
#include <set>
#include <utility>

namespace halvik::process::ProcessCheck {
namespace {
// True the first time the suspension of the process `processId` started at `startTime` is
// told: a process stays a threat from tick to tick, and its suspension is logged once. The
// memory is bounded; past the bound it starts afresh (an identity may then be logged again).
bool firstSuspensionOf(std::uint32_t processId, std::uint64_t startTime) {
  constexpr std::size_t kRemembered = 4096;
  static std::mutex guard;
  static std::set<std::pair<std::uint32_t, std::uint64_t>> logged;
  const std::lock_guard<std::mutex> hold(guard);
  if (logged.size() >= kRemembered) logged.clear();
  return logged.emplace(processId, startTime).second;
}
}  // namespace

Verdict CheckRunningProcess(const std::string& imagePath, std::uint32_t processId, std::uint64_t startTime) {
  std::string threat = engine::LookupThreat(imagePath);
  if (threat.empty()) return {kClean, kNoAction};
  if (processId == platform::currentProcessId() || core::isOwnProgram(imagePath) ||
      ResumedProcesses::contains(processId, startTime))
    return {std::move(threat), kNoAction};
  const std::string found = engine::FileNameOf(imagePath) + ", a running process, is found as malicious";
  if (const platform::Status suspended = process::mdlProcess::SuspendProcess({processId, imagePath, startTime});
      !suspended) {
    core::mMain::WriteLog(found + " but could not be suspended: " + threat + ": " + suspended.text());
    return {std::move(threat), kNoAction};
  }
  // "Suspsending" is misspelt in every log written so far: kept so readers of the logs still match the line.
  if (firstSuspensionOf(processId, startTime)) core::mMain::WriteLog(found + ". Suspsending: " + threat);
  return {std::move(threat), kSuspended};
}

}  // namespace halvik::process::ProcessCheck
