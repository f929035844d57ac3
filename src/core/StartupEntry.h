#pragma once

#include "platform/Platform.h"

#include <string>

// What "Lancer au démarrage" really does for the user who saves it. The machine-wide entry
// starts the companion for every user; a user who may not write it gets an entry of their own,
// and a user who may not remove it switches it off for themselves. Each call answers with the
// log line that says what happened.
namespace halvik::core::StartupEntry {

// Writes `valueName` = `data` under `keyPath` of `root` (the machine-wide entry), or else the
// user's own entry. After a machine-wide write the user's own entry of that name goes, so that
// it neither hides nor doubles it.
std::string add(platform::RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                const std::string& data);

// Removes the machine-wide entry `valueName` and the user's own; when the machine-wide one
// stays (the user may not remove it), switches it off for this user.
std::string remove(const std::string& keyPath, const std::string& valueName);

}  // namespace halvik::core::StartupEntry
