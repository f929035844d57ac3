#include "process/ResumedProcesses.h"

#include "core/Locations.h"
#include "platform/Platform.h"

#include <fstream>
#include <string>

namespace halvik::process::ResumedProcesses {

bool add(std::uint32_t processId, std::uint64_t startTime) {
  return platform::appendLine(core::runtimeFile(kFileName), std::to_string(processId) + ' ' + std::to_string(startTime))
      .ok();
}

bool contains(std::uint32_t processId, std::uint64_t startTime) {
  std::ifstream in(core::runtimeFile(kFileName), std::ios::binary);
  std::uint64_t id = 0;
  std::uint64_t start = 0;
  while (in >> id >> start)
    if (id == processId && start == startTime) return true;
  return false;
}

}  // namespace halvik::process::ResumedProcesses
