#include "platform/Environment.h"

#include "platform/Platform.h"

namespace halvik::platform {
namespace {
bool isInstalledCopy(const std::string& programFolder) {
  const auto attributes = fileAttributes(programFolder + kSeparator + kInstalledMarker);
  return attributes && !(*attributes & (kFolder | kReparsePoint));
}
}  // namespace

Environment systemEnvironment(const std::string& programFolder) {
  Environment found;
  found.programFolder = programFolder;
  found.settingsFile = defaultSettingsFile();
  found.autostartFolder = defaultAutostartFolder();
  found.runtimeFolder = defaultRuntimeFolder();
  if (!programFolder.empty() && isInstalledCopy(programFolder)) found.dataFolder = defaultDataFolder();
  found.machineSignaturesFolder = defaultMachineSignaturesFolder();
  found.drives = platform::drives;
  found.windowsFolder = platform::windowsFolder;
  found.clock = systemClock();
  found.platformId = platform::platformId();
  return found;
}

Environment& environment() {
  static Environment current = systemEnvironment(programFolder());
  return current;
}

}  // namespace halvik::platform
