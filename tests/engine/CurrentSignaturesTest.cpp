#include "engine/CurrentSignatures.h"

#include "core/Locations.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace halvik::engine {
namespace {

using testing_support::writeFile;
namespace fs = std::filesystem;

// A set of one name whose threat name tells where it came from, written under both database
// names in `folder`, each with a signature file holding `signature`.
void writeSet(const std::string& folder, int version, const std::string& threat, const std::string& signature = "") {
  fs::create_directories(folder);
  const std::string text =
      "[Signatures]\r\nVersion=" + std::to_string(version) + "\r\n[Scanfiles]\r\nEVIL.EXE=" + threat + "\r\n";
  for (const char* name : {kScanDatabase, kReferenceDatabase}) {
    writeFile(folder + platform::kSeparator + name, text);
    if (!signature.empty()) writeFile(folder + platform::kSeparator + name + ".minisig", signature);
  }
}

// The verifier of these tests: a set verifies when its signature file says "good".
class CurrentSignaturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setSetVerifier([](std::string_view, std::string_view signature, std::string* reason) {
      if (signature == "good") return true;
      *reason = "bad signature";
      return false;
    });
  }
  void TearDown() override {
    setSetVerifier(nullptr);
    reloadSignatures();
  }

  std::string current() {
    reloadSignatures();
    return currentSignatures()->lookup("evil.exe");
  }
  std::string refusalOf(SignaturePlace place) {
    for (const auto& candidate : signatureCandidates())
      if (candidate.place == place) return candidate.refusal;
    return "not listed";
  }

  testing_support::TestEnvironment environment;
};

TEST_F(CurrentSignaturesTest, TheValidSetOfHighestVersionWins) {
  writeSet(environment.programFolder(), 2, "Shipped");
  EXPECT_EQ(current(), "Shipped");
  writeSet(core::userSignaturesFolder(), 3, "User", "good");
  writeSet(core::machineSignaturesFolder(), 4, "Machine", "bad");
  EXPECT_EQ(current(), "User");
  EXPECT_EQ(refusalOf(SignaturePlace::Machine), "scan.dll: bad signature; REFERENCE_6-27-03.dat: bad signature");
  EXPECT_EQ(currentSignatures()->origin(), core::userSignaturesFolder());
  EXPECT_EQ(currentSignatures()->version(), 3u);

  writeSet(core::machineSignaturesFolder(), 5, "Machine", "good");
  EXPECT_EQ(current(), "Machine");
  EXPECT_EQ(currentReference()->lookup("evil.exe"), "Machine");
  writeSet(core::machineSignaturesFolder(), 2, "Machine", "good");
  EXPECT_EQ(current(), "User");
  writeSet(core::userSignaturesFolder(), 2, "User", "good");
  EXPECT_EQ(current(), "Shipped") << "on equal versions the shipped set stays";

  writeSet(core::userSignaturesFolder(), 3, "User");
  for (const char* name : {kScanDatabase, kReferenceDatabase})
    fs::remove(core::userSignaturesFolder() + platform::kSeparator + name + ".minisig");
  EXPECT_EQ(current(), "Shipped") << "an update without its signature files is refused";
  EXPECT_EQ(refusalOf(SignaturePlace::User),
            "scan.dll: its signature file is missing; REFERENCE_6-27-03.dat: its signature file is missing");
  writeSet(core::machineSignaturesFolder(), 9, "Machine", "good");
  setSetVerifier(nullptr);
  EXPECT_EQ(current(), "Shipped") << "without a verifier no update is used";
  EXPECT_EQ(refusalOf(SignaturePlace::Machine),
            "scan.dll: no signature check is available; REFERENCE_6-27-03.dat: no signature check is available");
}

TEST_F(CurrentSignaturesTest, EachFileStandsInForTheOtherAndTwoBrokenOnesLeaveNoSet) {
  const std::string scan = environment.programFolder() + platform::kSeparator + kScanDatabase;
  const std::string reference = environment.programFolder() + platform::kSeparator + kReferenceDatabase;
  writeSet(environment.programFolder(), 1, "Shipped");
  writeFile(scan, "");
  EXPECT_EQ(current(), "Shipped") << "the walk reads the reference database when scan.dll is broken";
  writeSet(environment.programFolder(), 1, "Shipped");
  writeFile(reference, "");
  EXPECT_EQ(current(), "Shipped");
  EXPECT_EQ(currentReference()->lookup("evil.exe"), "Shipped");

  const std::pair<std::function<void(const std::string&)>, const char*> broken[] = {
      {[](const std::string& file) { writeFile(file, ""); }, "holds no name"},
      {[](const std::string&) {}, "missing"},
      {[](const std::string& file) { fs::create_directory(file); }, "is a folder"},
#ifndef _WIN32
      {[](const std::string& file) { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); }, "is not a regular file"},
#endif
  };
  for (const auto& [breakIt, why] : broken) {
    for (const std::string& file : {scan, reference}) {
      fs::remove(file);
      breakIt(file);
    }
    EXPECT_EQ(current(), "") << why;
    EXPECT_FALSE(haveSignatures());
    EXPECT_EQ(refusalOf(SignaturePlace::Program), std::string("scan.dll: ") + why + "; REFERENCE_6-27-03.dat: " + why);
  }
  writeSet(core::userSignaturesFolder(), 1, "User", "good");
  EXPECT_EQ(current(), "User") << "a valid update stands in for a broken shipped set";
}

#ifndef _WIN32
TEST_F(CurrentSignaturesTest, RefusesAnUpdateFolderOthersCouldWrite) {
  writeSet(environment.programFolder(), 1, "Shipped");
  writeSet(core::userSignaturesFolder(), 3, "User", "good");
  ASSERT_EQ(chmod(core::userSignaturesFolder().c_str(), 0777), 0);
  EXPECT_EQ(current(), "Shipped");
  EXPECT_EQ(refusalOf(SignaturePlace::User), core::userSignaturesFolder() + " is writable by group or others");
  ASSERT_EQ(chmod(core::userSignaturesFolder().c_str(), 0755), 0);
  ASSERT_EQ(chmod(environment.programFolder().c_str(), 0775), 0);
  EXPECT_EQ(current(), "Shipped") << "every level above counts";
  ASSERT_EQ(chmod(environment.programFolder().c_str(), 0755), 0);
  EXPECT_EQ(current(), "User");
  if (geteuid() != 0) return;  // only root can give a folder to another user
  ASSERT_EQ(chown(core::userSignaturesFolder().c_str(), 65534, 65534), 0);
  EXPECT_EQ(current(), "Shipped");
  EXPECT_EQ(refusalOf(SignaturePlace::User), core::userSignaturesFolder() + " belongs to another user");
}
#endif

}  // namespace
}  // namespace halvik::engine
