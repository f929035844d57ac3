#include "core/RegistryStuff.h"

#include "core/mMain.h"
#include "platform/Environment.h"

namespace halvik::core::RegistryStuff {

void SetRunValue(platform::RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                 const std::string& data) {
  platform::setRunValue(root, keyPath, valueName, data, platform::environment().autostartFolder);
  core::mMain::WriteLog("Running on startup...");
}

void RemoveRunValue(const std::string& valueName) {
  platform::deleteRunValue(platform::RegistryRoot::LocalMachine, kRunKeyForRemoval, valueName,
                           platform::environment().autostartFolder);
  core::mMain::WriteLog("Removed from startup...");
}

}  // namespace halvik::core::RegistryStuff
