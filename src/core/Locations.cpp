#include "core/Locations.h"

#include "platform/Ascii.h"
#include "platform/Environment.h"
#include "platform/Ownership.h"
#include "platform/Platform.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace halvik::core {

std::string programFile(const std::string& name) {
  return platform::environment().programFolder + platform::kSeparator + name;
}

namespace {
// The data folder: the per-user one of an installed copy, else the program folder.
const std::string& dataFolder() {
  const platform::Environment& where = platform::environment();
  return where.dataFolder.empty() ? where.programFolder : where.dataFolder;
}
}  // namespace

std::string dataSubfolder(const std::string& name) { return dataFolder() + platform::kSeparator + name; }

bool createDataSubfolder(const std::string& name) {
  const std::string folder = dataSubfolder(name);
  return (platform::environment().dataFolder.empty() ? platform::createFolder(folder)
                                                     : platform::createOwnerFolders(folder))
             .ok() &&
         platform::isPrivate(folder);
}

std::optional<std::string> foreignDataFolder() {
  for (const std::string& each :
       {dataFolder(), dataSubfolder("Logs"), dataSubfolder("Quarintine"), dataSubfolder("Signatures")})
    if (platform::fileAttributes(each) && !platform::isPrivate(each)) return each;
  return std::nullopt;
}

std::string userSignaturesFolder() { return dataSubfolder("Signatures"); }

std::string machineSignaturesFolder() { return platform::environment().machineSignaturesFolder; }

std::string runtimeFolder() {
  const platform::Environment& where = platform::environment();
  const std::string folder = where.runtimeFolder.empty() ? platform::defaultRuntimeFolder() : where.runtimeFolder;
  if (platform::isOwnClosedFolder(folder)) return folder;
    // Another user could hold or replace our locks there: a folder of our own beside the settings
    // (on Windows, where the settings are in the registry, in the data folder).
#ifdef _WIN32
  const std::string base = platform::defaultDataFolder();
#else
  const std::string base = where.settingsFile.substr(0, where.settingsFile.rfind('/'));
#endif
  return base + platform::kSeparator + kPrivateRuntimeFolder;
}

std::string runtimeFile(const std::string& name) {
  const std::string folder = runtimeFolder();
  platform::createOwnerFolders(folder);
  return folder + platform::kSeparator + name;
}

bool isProgramFile(const std::string& imagePath, const std::string& name) {
  const std::string file = programFile(name);
#ifdef _WIN32
  return platform::equalsIgnoringCase(imagePath, file);
#else
  return imagePath == file;
#endif
}

bool isOwnProgram(const std::string& imagePath) {
  return isProgramFile(imagePath, kMainProgram) || isProgramFile(imagePath, kWindowProgram) ||
         isProgramFile(imagePath, kCompanionProgram);
}

}  // namespace halvik::core
