#include "engine/SignatureUpdate.h"

#include "core/Locations.h"
#include "engine/CurrentSignatures.h"
#include "engine/FeedFiles.h"
#include "support/SignedFeed.h"
#include "support/TestEnvironment.h"
#include "support/ThreatDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace halvik::engine {
namespace {

using testing_support::MinisignSigner;
using testing_support::publish;
using testing_support::setText;
using Kind = UpdateOutcome::Kind;

// The whole way: a feed folder, the program folder's trusted keys, the update folder of this run,
// and the current set chosen again with every update folder's files checked at each load.
class SignatureUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::writeReferenceDatabase({{"shipped.exe", "Shipped"}});
    testing_support::trustKey(environment.programFolder(), signer);
    verifyUpdatesWithTrustedKeys();
  }
  void TearDown() override {
    setSetVerifier(nullptr);
    reloadSignatures();
  }

  testing_support::TestEnvironment environment;
  MinisignSigner signer;
  std::string feed = environment.root() / "feed";
};

TEST_F(SignatureUpdateTest, AnUpdateBecomesCurrentAndARollbackGoesBack) {
  publish(feed, setText(2026120701, 3), signer);
  EXPECT_EQ(updateSignatures(feed).kind, Kind::Installed);
  EXPECT_EQ(currentSignatures()->version(), 2026120701u);
  EXPECT_EQ(currentSignatures()->origin(), updateFolder());
#ifndef _WIN32
  EXPECT_EQ(updateSignatures("file://" + feed).kind, Kind::AlreadyCurrent);
#endif
  EXPECT_EQ(updateSignatures(feed).kind, Kind::AlreadyCurrent);

  publish(feed, setText(2026120702, 4), signer, MinisignSigner::Form::Legacy);
  EXPECT_EQ(updateSignatures(feed).kind, Kind::Installed);
  EXPECT_EQ(currentSignatures()->count(), 4u);
  EXPECT_EQ(rollbackSignatures().version, 2026120701u);
  EXPECT_EQ(currentSignatures()->version(), 2026120701u);
  const auto log = testing_support::logMessages();
  EXPECT_EQ(testing_support::countOf(log, "Signatures rolled back to version 2026120701 in " + updateFolder()), 1);
}

TEST_F(SignatureUpdateTest, AnInstalledSetThatNoLongerVerifiesIsNotUsed) {
  publish(feed, setText(2026120701), signer);
  ASSERT_EQ(updateSignatures(feed).kind, Kind::Installed);
  // Each file of a folder stands in for the other: both are changed after their signing.
  for (const char* file : {kScanDatabase, kReferenceDatabase})
    testing_support::writeFile(updateFolder() + "/" + file, setText(2026120701, 5));
  reloadSignatures();
  EXPECT_EQ(currentSignatures()->lookup("shipped.exe"), "Shipped") << "back to the shipped set";
  EXPECT_EQ(rollbackSignatures().kind, Kind::Refused) << "the shipped set has no previous one";
}

TEST_F(SignatureUpdateTest, AMissingFeedIsUnreachableAndAnOversizeOneRefused) {
  const UpdateOutcome outcome = updateSignatures(environment.root() / "no-feed");
  EXPECT_EQ(outcome.kind, Kind::Refused);
  EXPECT_EQ(outcome.message.rfind("source injoignable : ", 0), 0u) << outcome.message;
  publish(feed, setText(2026120701), signer);
  std::filesystem::resize_file(feed + "/signatures.ini", kMaxSetSize + 1);  // sparse: nothing is written
  EXPECT_NE(updateSignatures(feed).message.find("64 Mo"), std::string::npos);
}

}  // namespace
}  // namespace halvik::engine
