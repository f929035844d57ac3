#include "app/StartupId.h"

#include <gtest/gtest.h>

namespace halvik::app {

namespace {

TEST(StartupId, TheLaunchTimeIsTheNumberAfterTheLastTimeMark) {
  EXPECT_EQ(startupIdTime("xfce4-panel-1234-host-orvento_halvik-0_TIME56789"), 56789u);
  EXPECT_EQ(startupIdTime("a_TIME1_TIME4294967295"), 4294967295u);
  for (const char* none :
       {"", "no-time-here", "x_TIME", "x_TIME12x", "x_TIME-5", "x_TIME4294967296", "x_TIME0", "x_TIME12_TIME"})
    EXPECT_FALSE(startupIdTime(none)) << none;
}

}  // namespace

}  // namespace halvik::app
