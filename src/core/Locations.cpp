#include "core/Locations.h"

#include "platform/Platform.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace halvik::core {
namespace {
std::optional<Locations>& current() {
  static std::optional<Locations> value;
  return value;
}

bool isInstalledCopy(const std::string& programFolder) {
  const auto attributes = platform::fileAttributes(programFolder + platform::kSeparator + kInstalledMarker);
  return attributes && !(*attributes & (platform::kFolder | platform::kReparsePoint));
}
}  // namespace

Locations platformLocations() { return locationsFor(platform::programFolder()); }

Locations locationsFor(const std::string& programFolder) {
  Locations found{programFolder, platform::defaultSettingsFile(), platform::defaultAutostartFolder()};
  found.runtimeFolder = platform::defaultRuntimeFolder();
  if (isInstalledCopy(programFolder)) found.dataFolder = platform::defaultDataFolder();
  return found;
}

const Locations& locations() {
  auto& value = current();
  if (!value) value = platformLocations();
  return *value;
}

void setLocations(Locations locations) { current() = std::move(locations); }

std::string programFile(const std::string& name) { return locations().programFolder + platform::kSeparator + name; }

std::string dataSubfolder(const std::string& name) {
  const Locations& where = locations();
  return (where.dataFolder.empty() ? where.programFolder : where.dataFolder) + platform::kSeparator + name;
}

bool createDataSubfolder(const std::string& name) {
  const std::string folder = dataSubfolder(name);
  return (locations().dataFolder.empty() ? platform::createFolder(folder) : platform::createOwnerFolders(folder)).ok();
}

std::string runtimeFolder() {
  const std::string& folder = locations().runtimeFolder;
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
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(imagePath.begin(), imagePath.end(), file.begin(), file.end(),
                    [&fold](char a, char b) { return fold(a) == fold(b); });
#else
  return imagePath == file;
#endif
}

bool isOwnProgram(const std::string& imagePath) {
  return isProgramFile(imagePath, kMainProgram) || isProgramFile(imagePath, kCompanionProgram);
}

}  // namespace halvik::core
