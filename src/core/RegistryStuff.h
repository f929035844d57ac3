#pragma once

#include "core/Locations.h"
#include "platform/Platform.h"

#include <string>

// The start-up registration: one value of the machine-wide Run key that starts the companion
// alert program at log-on (on Linux an XDG autostart entry in the environment's autostart
// folder), or the user's own entry where the machine-wide one cannot be written or removed
// (StartupEntry). Nothing is shown to the user; the log line says what really happened (when
// logging is on).
namespace halvik::core::RegistryStuff {

// The key the settings dialog writes the value under, and the one RemoveRunValue deletes from
// (the same key: registry names ignore case).
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunKeyForRemoval = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";

// The value name of the start-up entry and the companion program it starts.
// "bobbypin" is the name of every start-up entry written so far: kept so a save replaces or removes the old one.
inline constexpr const char* kRunValueName = "bobbypin";
inline constexpr const char* kCompanionProgram = core::kCompanionProgram;

// Writes `valueName` = `data` under `keyPath` of `root`, then logs "Running on startup..." (and
// how, when only the user's entry could be written, or that it failed).
void SetRunValue(platform::RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                 const std::string& data);

// Deletes `valueName` from the machine-wide Run key, then logs "Removed from startup..." (and
// how, when it was only switched off for this user, or that it failed).
void RemoveRunValue(const std::string& valueName);

}  // namespace halvik::core::RegistryStuff
