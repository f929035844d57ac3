#include "core/RegistryStuff.h"

#include "core/StartupEntry.h"
#include "core/mMain.h"

namespace halvik::core::RegistryStuff {

void SetRunValue(platform::RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                 const std::string& data) {
  core::mMain::WriteLog(StartupEntry::add(root, keyPath, valueName, data));
}

void RemoveRunValue(const std::string& valueName) {
  core::mMain::WriteLog(StartupEntry::remove(kRunKeyForRemoval, valueName));
}

}  // namespace halvik::core::RegistryStuff
