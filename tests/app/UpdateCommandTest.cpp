// `--update` of the built program against a feed served over HTTP on 127.0.0.1:
// a set signed in the test with a throwaway key, a tampered copy, an older version, and a set
// signed by a key the program does not trust. The program runs from a copy of its folder whose
// keys/ holds the test's key; as root it runs as an ordinary user, so that its updates go to that
// user's folder and never to the machine's.
#include "support/HttpServer.h"
#include "support/ShellCommand.h"
#include "support/SignedFeed.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace halvik::app {
namespace {

using testing_support::MinisignSigner;
using testing_support::publish;
using testing_support::setText;
namespace fs = std::filesystem;

constexpr unsigned kOrdinaryUser = 65534;

using Outcome = testing_support::CommandOutcome;
using testing_support::shellQuoted;

class UpdateCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path built = fs::path(HALVIK_PROGRAM).parent_path();
    fs::create_directories(program + "/keys");
    for (const char* file : {"orvento-halvik", "scan.dll", "REFERENCE_6-27-03.dat"})
      fs::copy_file(built / file, program + "/" + file);
    testing_support::trustKey(program, signer);
    if (geteuid() != 0) return;
    // Every level open to the ordinary user, and the folders it writes its own.
    for (const std::string& folder : {root.path(), program, home.path(), feeds.path()}) {
      fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    ASSERT_EQ(chown(program.c_str(), kOrdinaryUser, kOrdinaryUser), 0);
    ASSERT_EQ(chown(home.path().c_str(), kOrdinaryUser, kOrdinaryUser), 0);
  }

  Outcome run(const std::string& arguments) {
    const std::string user = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    return testing_support::runCommand(user + "env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + shellQuoted(home.path()) +
                                           " XDG_CONFIG_HOME=" + shellQuoted(home.path()) + " " +
                                           shellQuoted(program + "/orvento-halvik") + " " + arguments,
                                       root / "stderr");
  }

  testing_support::TempFolder root;
  std::string program = root / "program";
  testing_support::TempFolder home;
  testing_support::TempFolder feeds;
  MinisignSigner signer;
};

TEST_F(UpdateCommandTest, InstallsOnceThenRefusesEachBadSetWithItsReason) {
  const std::string set = setText(9000000002, 3);
  publish(feeds / "good", set, signer);
  publish(feeds / "older", setText(9000000001), signer);
  publish(feeds / "tampered", set, signer);
  testing_support::writeFile(feeds / "tampered/signatures.ini", set + "MORE.EXE=More\r\n");
  publish(feeds / "stranger", setText(9000000003), MinisignSigner());
  const testing_support::HttpServer server(feeds.path());

  EXPECT_EQ(run("--rollback").status, 2) << "the shipped set has nothing to go back to";
  const Outcome installed = run("--update " + server.url() + "good/");
  EXPECT_EQ(installed.status, 0) << installed.err;
  EXPECT_EQ(installed.out, "orvento-halvik : signatures mises \u00E0 jour : 3 noms (version 9000000002)\n");
  EXPECT_TRUE(fs::exists(program + "/Signatures/scan.dll.minisig"));
  const Outcome again = run("--update " + server.url() + "good");
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, "orvento-halvik : d\u00E9j\u00E0 \u00E0 jour (version 9000000002)\n");

  const struct {
    const char* feed;
    const char* reason;
  } refused[] = {{"tampered", "ne correspond pas"},
                 {"older", "plus ancienne"},
                 {"stranger", "pas de confiance"},
                 {"missing", "source injoignable"}};
  for (const auto& each : refused) {
    const Outcome outcome = run("--update " + server.url() + each.feed);
    EXPECT_EQ(outcome.status, 2) << each.feed;
    EXPECT_EQ(outcome.out, "") << each.feed;
    EXPECT_NE(outcome.err.find(each.reason), std::string::npos) << each.feed << ": " << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
  }
  EXPECT_EQ(testing_support::readFile(program + "/Signatures/REFERENCE_6-27-03.dat"), set);
}

}  // namespace
}  // namespace halvik::app
