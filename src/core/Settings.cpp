#include "core/Settings.h"

#include "core/Locations.h"
#include "core/SettingsStore.h"
#include "platform/Ascii.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace halvik::core::settings {
std::string appNameOf(const Setting& setting) {
  return setting.appName == AppName::ProgramFolder ? core::locations().programFolder : std::string(core::kProgramTitle);
}

std::string read(const Setting& setting) {
  return core::SettingsStore::GetSetting(appNameOf(setting), setting.section, setting.key, setting.defaultValue);
}

bool write(const Setting& setting, const std::string& value) {
  return core::SettingsStore::SaveSetting(appNameOf(setting), setting.section, setting.key, value);
}

double readNumber(const Setting& setting) {
  const std::string text = read(setting);
  std::string_view digits = platform::trimmed(text, " \t");  // spaces and tabs only
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) return 0;
  return value;
}

std::string numberText(double value) {
  if (!std::isfinite(value)) return "0";
  const double whole = std::round(value);
  if (whole == 0) return "0";  // never "-0"
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.0f", whole);
  return buffer;
}

}  // namespace halvik::core::settings
