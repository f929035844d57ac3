#include "core/Locations.h"

#include "platform/Platform.h"

#include <optional>
#include <utility>

namespace core {
namespace {
std::optional<Locations>& current() {
  static std::optional<Locations> value;
  return value;
}
}  // namespace

Locations platformLocations() {
  return Locations{platform::programFolder(), platform::defaultSettingsFile(), platform::defaultAutostartFolder()};
}

const Locations& locations() {
  auto& value = current();
  if (!value) value = platformLocations();
  return *value;
}

void setLocations(Locations locations) { current() = std::move(locations); }

std::string programFile(const std::string& name) { return locations().programFolder + platform::kSeparator + name; }

}  // namespace core
