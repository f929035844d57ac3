#include "companion/FeedCheck.h"
#include "core/IsoTime.h"

#include "core/Settings.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <vector>

namespace halvik::companion {
namespace {

using namespace std::chrono_literals;
using Key = core::settings::Key;

// The daily check against a fake wall clock and a fake update.
class FeedCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    environment->wallClock = [this] { return now; };
  }
  FeedCheck check{[this](const std::string& feed) {
                    feeds.push_back(feed);
                    return outcome;
                  },
                  [this](const std::string& text) { notices.push_back(text); }};

  testing_support::TestEnvironment environment;
  std::chrono::system_clock::time_point now = std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + 9h;
  engine::UpdateOutcome outcome{engine::UpdateOutcome::Kind::Installed, "", 2026120801, 310};
  std::vector<std::string> feeds;
  std::vector<std::string> notices;
};

TEST_F(FeedCheckTest, ChecksOnceADayStoresTheTimeAndNotifiesAnInstalledSet) {
  EXPECT_TRUE(check.wake());
  EXPECT_EQ(feeds, std::vector<std::string>{"https://signatures.orvento.invalid/feed/"});
  EXPECT_EQ(core::settings::read(Key::LastSignatureCheck), "2026-12-07T09:00:00Z");
  EXPECT_EQ(notices, std::vector<std::string>{"Signatures mises \u00E0 jour : 310 noms (version 2026120801)"});
  now += 23h;
  EXPECT_FALSE(check.wake());
  now += 1h;
  outcome = {engine::UpdateOutcome::Kind::Refused, "source injoignable : x"};
  EXPECT_TRUE(check.wake()) << "a day later";
  EXPECT_EQ(notices.size(), 1u) << "a failure is only logged";
  EXPECT_EQ(core::settings::read(Key::LastSignatureCheck), "2026-12-08T09:00:00Z");
}

TEST_F(FeedCheckTest, NoFeedNoCheckAndAnOddStoredTimeMeansDue) {
  core::settings::write(Key::SignatureFeed, "");
  EXPECT_FALSE(check.wake());
  core::settings::write(Key::SignatureFeed, "/srv/feed");
  for (const char* stored : {"2026-12-07T09:00:01Z", "yesterday", "2026-02-30T00:00:00Z", "2026-12-07T08:00:00Z+"}) {
    core::settings::write(Key::LastSignatureCheck, stored);
    EXPECT_TRUE(check.wake()) << stored << " (in the future or unreadable)";
  }
  EXPECT_EQ(FeedCheck::parseIsoTime(core::isoTime(now)), now);
}

}  // namespace
}  // namespace halvik::companion
