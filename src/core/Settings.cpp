#include "core/Settings.h"

#include "core/Locations.h"
#include "core/SettingsStore.h"
#include "platform/Ascii.h"
#include "platform/Environment.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

namespace halvik::core::settings {
namespace {
// The offered monitor period whose decimal text is `text`.
std::optional<std::chrono::milliseconds> offeredPeriod(const std::string& text) {
  for (const std::chrono::milliseconds period : kMonitorPeriods)
    if (text == std::to_string(period.count())) return period;
  return std::nullopt;
}
}  // namespace

std::string appNameOf(Key key) {
  return settingOf(key).appName == AppName::ProgramFolder ? platform::environment().programFolder
                                                          : std::string(core::kProgramTitle);
}

std::string read(Key key) {
  const Setting& setting = settingOf(key);
  return core::SettingsStore::GetSetting(appNameOf(key), setting.section, setting.key, setting.defaultValue);
}

bool write(Key key, const std::string& value) {
  const Setting& setting = settingOf(key);
  return core::SettingsStore::SaveSetting(appNameOf(key), setting.section, setting.key, value);
}

bool onWhenOne(Key key) { return read(key) == "1"; }

bool onUnlessZero(Key key) { return read(key) != "0"; }

double readNumber(Key key) {
  const std::string text = read(key);
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

std::chrono::milliseconds defaultMonitorPeriod() { return offeredPeriod(defaultOf(Key::AdMonitorRefresh)).value(); }

std::chrono::milliseconds monitorPeriod() {
  return offeredPeriod(read(Key::AdMonitorRefresh)).value_or(defaultMonitorPeriod());
}

}  // namespace halvik::core::settings
