#pragma once

#include "engine/UpdateOutcome.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace halvik::companion {

// The companion's daily look at the signature feed: when a feed is set ("SignatureFeed" not
// empty) and the last check ("LastSignatureCheck", ISO 8601 in UTC) is a day old, missing,
// unreadable or in the future, it records the check's time, installs what the feed holds when
// it verifies, and notifies a set installed. A refusal or an unreachable feed is only logged
// (by the update itself). The time comes from the environment's wall clock.
class FeedCheck {
 public:
  using Updater = std::function<engine::UpdateOutcome(const std::string& feed)>;
  using Notifier = std::function<void(const std::string& text)>;

  FeedCheck(Updater updater, Notifier notify) : m_updater(std::move(updater)), m_notify(std::move(notify)) {}

  // Checks the feed when a check is due; true when it did.
  bool wake();

  // How often the feed is looked at.
  static constexpr std::chrono::hours kPeriod{24};

  // A time written as core::isoTime writes it ("2026-12-07T19:29:00Z"), read back (nullopt when
  // the text is not one).
  static std::optional<std::chrono::system_clock::time_point> parseIsoTime(const std::string& text);

 private:
  Updater m_updater;
  Notifier m_notify;
};

}  // namespace halvik::companion
