#pragma once

#include "platform/Status.h"

#include <optional>
#include <string>

// The registry's per-user settings: string values under keys of HKEY_CURRENT_USER, where
// Windows programs keep such settings. Only Windows has such a store: elsewhere
// hasSettingsRegistry() is false, nothing is ever read and every write fails as unsupported.
namespace halvik::platform {

bool hasSettingsRegistry();

// The string value `name` of the key `keyPath` (levels separated by backslashes); nullopt when
// the key or the value does not exist, is no string, or cannot be read. Names hold no NUL byte.
std::optional<std::string> readUserValue(const std::string& keyPath, const std::string& name);

// Stores `value` as the string value `name` of the key `keyPath`, creating the key and those
// above it as needed; the value is written whole.
Status writeUserValue(const std::string& keyPath, const std::string& name, const std::string& value);

}  // namespace halvik::platform
