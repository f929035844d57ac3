#include "core/StartupEntry.h"

#include "platform/Environment.h"

namespace halvik::core::StartupEntry {

namespace {
// The log lines of a registration and of a removal, as log readers know them.
const std::string kRunning = "Running on startup...";
const std::string kRemoved = "Removed from startup...";

std::string reason(const platform::Status& status) {
  return status.text().empty() ? "error " + std::to_string(status.code()) : status.text();
}

// "<line> for this user only (machine-wide entry: <reason>)", or "<line> failed: ..." when the
// user's entry could not be written either.
std::string userOutcome(const std::string& line, const platform::Status& machine, const platform::Status& user) {
  if (user) return line + " for this user only (machine-wide entry: " + reason(machine) + ")";
  return line + " failed: machine-wide entry: " + reason(machine) + "; user entry: " + reason(user);
}
}  // namespace

std::string add(platform::RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                const std::string& data) {
  const platform::Environment& where = platform::environment();
  const platform::Status machine = platform::setRunValue(root, keyPath, valueName, data, where.autostartFolder);
  if (!machine)
    return userOutcome(kRunning, machine, platform::setUserRunValue(valueName, data, where.userAutostartFolder));
  const platform::Status user = platform::deleteUserRunValue(valueName, where.userAutostartFolder);
  return user ? kRunning : kRunning + " but this user's own entry stays: " + reason(user);
}

std::string remove(const std::string& keyPath, const std::string& valueName) {
  const platform::Environment& where = platform::environment();
  const platform::Status machine =
      platform::deleteRunValue(platform::RegistryRoot::LocalMachine, keyPath, valueName, where.autostartFolder);
  if (!machine && machine.code() != platform::kNotFound)
    return userOutcome(kRemoved, machine, platform::hideRunValue(valueName, where.userAutostartFolder));
  const platform::Status user = platform::deleteUserRunValue(valueName, where.userAutostartFolder);
  return user ? kRemoved : kRemoved + " failed: user entry: " + reason(user);
}

}  // namespace halvik::core::StartupEntry
