// No registry here: the settings live in the settings file.
#include "platform/SettingsRegistry.h"

#include <cerrno>

namespace halvik::platform {

bool hasSettingsRegistry() { return false; }

std::optional<std::string> readUserValue(const std::string& /*keyPath*/, const std::string& /*name*/) {
  return std::nullopt;
}

Status writeUserValue(const std::string& /*keyPath*/, const std::string& /*name*/, const std::string& /*value*/) {
  return Status::failure(ENOTSUP);
}

}  // namespace halvik::platform
