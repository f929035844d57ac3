// The Windows balloon's click: it is for the balloon shown last, and offers a notice's actions once.
#include "companion/BalloonNotice.h"

#include <gtest/gtest.h>

namespace halvik::companion {
namespace {

TEST(BalloonNotice, AClickOffersTheActionsOfTheLastBalloonOnceAndNoneAfterAPlainOne) {
  BalloonNotice balloon;
  EXPECT_FALSE(balloon.clicked()) << "no balloon yet: the program opens";
  balloon.shown(BalloonNotice::Offer{7, "EVIL d\u00E9tect\u00E9", "C:\\evil.exe", {{"ignore", "Ignorer"}}});
  const auto offer = balloon.clicked();
  ASSERT_TRUE(offer);
  EXPECT_EQ(offer->notice, 7u);
  EXPECT_FALSE(balloon.clicked()) << "offered once";
  balloon.shown(BalloonNotice::Offer{8, "A", "B", {{"ignore", "Ignorer"}}});
  balloon.shown(std::nullopt);  // a plain balloon hides the notice's
  EXPECT_FALSE(balloon.clicked());
}

}  // namespace
}  // namespace halvik::companion
