#include "companion/FeedCheck.h"

#include "core/IsoTime.h"
#include "core/Settings.h"
#include "platform/Environment.h"

#include <cstdio>

namespace halvik::companion {

namespace {
using std::chrono::system_clock;
using Key = core::settings::Key;
}  // namespace

std::optional<system_clock::time_point> FeedCheck::parseIsoTime(const std::string& text) {
  int year = 0;
  unsigned month = 0, day = 0, hours = 0, minutes = 0, seconds = 0;
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%4d-%2u-%2uT%2u:%2u:%2uZ%n", &year, &month, &day, &hours, &minutes, &seconds,
                  &consumed) != 6 ||
      static_cast<std::size_t>(consumed) != text.size())
    return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
  if (!date.ok() || hours > 23 || minutes > 59 || seconds > 60) return std::nullopt;
  return std::chrono::sys_days{date} + std::chrono::hours{hours} + std::chrono::minutes{minutes} +
         std::chrono::seconds{seconds};
}

bool FeedCheck::wake() {
  const std::string feed = core::settings::read(Key::SignatureFeed);
  if (feed.empty()) return false;
  const system_clock::time_point now = platform::environment().wallClock();
  const auto last = parseIsoTime(core::settings::read(Key::LastSignatureCheck));
  if (last && *last <= now && now - *last < kPeriod) return false;
  core::settings::write(Key::LastSignatureCheck, core::isoTime(now));
  const engine::UpdateOutcome outcome = m_updater(feed);
  if (outcome.kind == engine::UpdateOutcome::Kind::Installed)
    m_notify("Signatures mises \u00E0 jour : " + std::to_string(outcome.count) + " noms (version " +
             std::to_string(outcome.version) + ")");
  return true;
}

}  // namespace halvik::companion
