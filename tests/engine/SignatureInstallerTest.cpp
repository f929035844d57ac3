#include "engine/SignatureInstaller.h"

#include "engine/CurrentSignatures.h"
#include "engine/InstallState.h"
#include "engine/SignatureSet.h"
#include "support/SignedFeed.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace halvik::engine {
namespace {

using testing_support::MinisignSigner;
using testing_support::readFile;
using testing_support::setText;
using Kind = UpdateOutcome::Kind;
namespace fs = std::filesystem;

class SignatureInstallerTest : public ::testing::Test {
 protected:
  FeedFiles signedSet(std::uint64_t version, int names = 2) const {
    const std::string set = setText(version, names);
    return {set, signer.sign(set)};
  }
  UpdateOutcome install(const FeedFiles& files, std::uint64_t current = 1) const {
    return installer.install(files, current);
  }
  // The version of the set installed in `folder` under `name`, 0 when none.
  std::uint64_t versionIn(const std::string& folder, const char* name = kReferenceDatabase) const {
    const auto set = SignatureSet::parse(readFile(folder + "/" + name), folder);
    return set ? set->version() : 0;
  }

  testing_support::TestEnvironment environment;
  MinisignSigner signer;
  std::string folder = environment.root() / "Signatures";
  SignatureInstaller installer{folder, TrustedKeys({MinisignKey::parse(signer.publicKeyFile()).value()})};
};

TEST_F(SignatureInstallerTest, ASignedNewerSetIsWrittenUnderBothNamesWithItsSignature) {
  fs::create_directories(folder);
  const FeedFiles files = signedSet(2026120701, 3);
  const UpdateOutcome outcome = install(files);
  EXPECT_EQ(outcome.kind, Kind::Installed);
  EXPECT_EQ(outcome.message, "signatures mises \u00E0 jour : 3 noms (version 2026120701)");
  for (const char* name : {kScanDatabase, kReferenceDatabase}) {
    EXPECT_EQ(readFile(folder + "/" + name), files.set);
    EXPECT_EQ(readFile(folder + "/" + name + ".minisig"), files.signature);
  }
  EXPECT_EQ(install_state::recorded(folder), 2026120701u);
  for (const auto& entry : fs::directory_iterator(folder))
    EXPECT_FALSE(entry.path().filename().string().ends_with(".tmp")) << "no temporary file is left";
  // The legacy form is as good.
  const std::string set = setText(2026120702);
  EXPECT_EQ(install({set, signer.sign(set, MinisignSigner::Form::Legacy)}).kind, Kind::Installed);
}

TEST_F(SignatureInstallerTest, EveryRefusalSaysWhyAndChangesNothing) {
  fs::create_directories(folder);
  ASSERT_EQ(install(signedSet(2026120705)).kind, Kind::Installed);
  const std::string before = readFile(folder + "/" + kReferenceDatabase);
  const FeedFiles good = signedSet(2026120710);
  const MinisignSigner stranger;
  const std::string empty = "[Signatures]\r\nVersion=2026120711\r\n[Scanfiles]\r\n";
  const std::string malformed = "[Signatures]\r\nVersion=next\r\n[Scanfiles]\r\nA.EXE=A\r\n";
  const std::string huge = setText(2026120712) + std::string(kMaxSetSize, ';');
  const struct {
    const char* what;
    FeedFiles files;
    const char* says;
  } cases[] = {
      {"tampered", {good.set + "MORE.EXE=More\r\n", good.signature}, "ne correspond pas"},
      {"truncated", {good.set.substr(0, good.set.size() / 2), good.signature}, "ne correspond pas"},
      {"untrusted key", {good.set, stranger.sign(good.set)}, "pas de confiance"},
      {"malformed signature", {good.set, "untrusted comment: x\nnot base64\n"}, "illisible"},
      {"empty set", {empty, signer.sign(empty)}, "vide"},
      {"malformed set", {malformed, signer.sign(malformed)}, "valable"},
      {"oversize", {huge, "untrusted comment: not even read"}, "64 Mo"},
      {"older than in use", signedSet(2026120706), "plus ancienne"},
      {"replayed", signedSet(2026120705), "d\u00E9j\u00E0 \u00E9t\u00E9 install\u00E9e"},
  };
  for (const auto& each : cases) {
    const UpdateOutcome outcome = install(each.files, std::string(each.what) == "replayed" ? 1 : 2026120707);
    EXPECT_EQ(outcome.kind, Kind::Refused) << each.what;
    EXPECT_NE(outcome.message.find(each.says), std::string::npos) << each.what << ": " << outcome.message;
    EXPECT_EQ(outcome.message.find('\n'), std::string::npos);
    EXPECT_EQ(readFile(folder + "/" + kReferenceDatabase), before) << each.what;
  }
  EXPECT_EQ(install(signedSet(2026120707), 2026120707).kind, Kind::AlreadyCurrent);
  EXPECT_EQ(install(signedSet(2026120707), 2026120707).message, "d\u00E9j\u00E0 \u00E0 jour (version 2026120707)");
}

TEST_F(SignatureInstallerTest, RollbackRestoresThePreviousSetOnceAndItsSuccessorNeverReturns) {
  fs::create_directories(folder);
  EXPECT_EQ(installer.rollback().kind, Kind::Refused) << "nothing to go back to";
  ASSERT_EQ(install(signedSet(2026120701)).kind, Kind::Installed);
  ASSERT_EQ(install(signedSet(2026120702)).kind, Kind::Installed);
  EXPECT_EQ(versionIn(folder + "/previous"), 2026120701u);

  const UpdateOutcome back = installer.rollback();
  EXPECT_EQ(back.kind, Kind::Installed);
  EXPECT_EQ(back.version, 2026120701u);
  EXPECT_EQ(versionIn(folder), 2026120701u);
  EXPECT_EQ(versionIn(folder, kScanDatabase), 2026120701u);
  EXPECT_EQ(installer.rollback().kind, Kind::Refused) << "one rollback only";
  // The set rolled back from is refused, even once the state file is lost; a newer one comes in.
  EXPECT_EQ(install(signedSet(2026120702), 2026120701).kind, Kind::Refused);
  fs::remove(folder + "/" + install_state::kStateFile);
  EXPECT_EQ(install(signedSet(2026120701), 0).kind, Kind::Refused) << "the folder's own set counts";
  EXPECT_EQ(install(signedSet(2026120703), 2026120701).kind, Kind::Installed);
}

TEST_F(SignatureInstallerTest, ADamagedStateFileCountsForNothingButTheSetsPresent) {
  fs::create_directories(folder);
  for (const std::string& damaged : {std::string("HighestVersion=12x"), std::string(1000, '9'), std::string()}) {
    testing_support::writeFile(folder + "/" + install_state::kStateFile, damaged);
    EXPECT_EQ(install_state::recorded(folder), 0u) << damaged;
  }
  EXPECT_TRUE(install_state::record(folder, 42));
  EXPECT_EQ(install_state::recorded(folder), 42u);
}

}  // namespace
}  // namespace halvik::engine
