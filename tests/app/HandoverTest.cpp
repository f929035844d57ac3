#include "app/Handover.h"

#include <gtest/gtest.h>

namespace halvik::app {

namespace {

TEST(Handover, EveryRequestSurvivesAndAFrameIsWholeOnlyAtItsLastByte) {
  const Handover sent{2, true, {"/a b/c", std::string("/x\n,3:y\xff", 9), "", "/z"}, "host;1234_TIME5678"};
  const std::string frame = encode(sent);
  for (std::size_t cut = 0; cut < frame.size(); ++cut)
    EXPECT_EQ(decode(frame.substr(0, cut)).state, Decoded::State::Incomplete) << cut;
  const Decoded whole = decode(frame);
  ASSERT_EQ(whole.state, Decoded::State::Complete);
  EXPECT_EQ(whole.handover.page, 2);
  EXPECT_TRUE(whole.handover.settings);
  EXPECT_EQ(whole.handover.folders, sent.folders);
  EXPECT_EQ(whole.handover.activation, sent.activation);
  const Decoded bare = decode(encode({}));
  ASSERT_EQ(bare.state, Decoded::State::Complete);
  EXPECT_FALSE(bare.handover.page);
  EXPECT_TRUE(bare.handover.folders.empty());
}

TEST(Handover, AnythingButOneFrameIsMalformed) {
  const auto frame = [](const std::string& items) { return std::to_string(items.size()) + ":" + items + ","; };
  for (const std::string& bytes :
       {frame("0:,1:0,2:ab;"), frame("0:,1:0,0:,2:ab;"), frame("0:,1:0,"), frame("1:9,1:0,"), frame("0:,1:2,"),
        frame("0:,1:0,x"), frame("0:,"), frame("0:,1:0,") + "extra", std::string("x:"), std::string("-1:,"),
        std::string("99999999999:"), std::string("12345678")})
    EXPECT_EQ(decode(bytes).state, Decoded::State::Malformed) << bytes;
}

TEST(Handover, OneServerPerProgramFolder) {
  EXPECT_EQ(instanceServerName("/run/user/1", "/usr/lib/orvento-halvik"),
            instanceServerName("/run/user/1", "/usr/lib/orvento-halvik"));
  EXPECT_NE(instanceServerName("/run/user/1", "/usr/lib/orvento-halvik"),
            instanceServerName("/run/user/1", "/home/u/portable"));
}

}  // namespace

}  // namespace halvik::app
