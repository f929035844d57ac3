#include "platform/Download.h"
#include "support/HttpServer.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace halvik::platform {
namespace {

using testing_support::writeFile;
using Outcome = Download::Outcome;

TEST(DownloadHttpTest, FilesComeWholeWithinTheLimitAndErrorsFail) {
  const testing_support::TempFolder folder;
  const std::string bytes(300000, 'x');
  writeFile(folder / "set.ini", bytes);
  const testing_support::HttpServer server(folder.path());

  const Download got = download(server.url() + "set.ini");
  EXPECT_EQ(got.outcome, Outcome::Received) << got.reason;
  EXPECT_EQ(got.bytes, bytes);
  // The server announces the size: refused before a byte is kept; and counted while receiving.
  EXPECT_EQ(download(server.url() + "set.ini", {.maxBytes = 299999}).outcome, Outcome::TooLarge);
  const Download missing = download(server.url() + "missing.ini");
  EXPECT_EQ(missing.outcome, Outcome::Failed);
  EXPECT_NE(missing.reason.find("404"), std::string::npos) << missing.reason;
}

TEST(DownloadHttpTest, RedirectsAreFollowedWithinTheLimit) {
  const testing_support::TempFolder folder;
  std::filesystem::create_directory(folder / "feed");
  writeFile(folder / "feed/index.html", "feed");
  const testing_support::HttpServer server(folder.path());
  // http.server answers a folder without its final "/" with a redirect to it.
  EXPECT_EQ(download(server.url() + "feed").bytes, "feed");
  EXPECT_EQ(download(server.url() + "feed", {.maxRedirects = 0}).outcome, Outcome::Failed);
}

}  // namespace
}  // namespace halvik::platform
