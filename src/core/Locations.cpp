#include "core/Locations.h"

#include "platform/Ascii.h"
#include "platform/Environment.h"
#include "platform/Platform.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace halvik::core {

std::string programFile(const std::string& name) {
  return platform::environment().programFolder + platform::kSeparator + name;
}

std::string dataSubfolder(const std::string& name) {
  const platform::Environment& where = platform::environment();
  return (where.dataFolder.empty() ? where.programFolder : where.dataFolder) + platform::kSeparator + name;
}

bool createDataSubfolder(const std::string& name) {
  const std::string folder = dataSubfolder(name);
  return (platform::environment().dataFolder.empty() ? platform::createFolder(folder)
                                                     : platform::createOwnerFolders(folder))
      .ok();
}

std::string userSignaturesFolder() { return dataSubfolder("Signatures"); }

std::string machineSignaturesFolder() { return platform::environment().machineSignaturesFolder; }

std::string runtimeFolder() {
  const std::string& folder = platform::environment().runtimeFolder;
  return folder.empty() ? platform::defaultRuntimeFolder() : folder;
}

std::string runtimeFile(const std::string& name) {
  const std::string folder = runtimeFolder();
  platform::createFolder(folder);
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
  return isProgramFile(imagePath, kMainProgram) || isProgramFile(imagePath, kCompanionProgram);
}

}  // namespace halvik::core
