#include "platform/Download.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace halvik::platform {
namespace {

using testing_support::TempFolder;
using testing_support::writeFile;
using Outcome = Download::Outcome;

TEST(DownloadTest, PathsAndFileUrlsAreReadWithinTheLimit) {
  const TempFolder folder;
  const std::string path = folder / "a feed%/signatures.ini";
  std::filesystem::create_directory(folder / "a feed%");
  writeFile(path, std::string(1000, 'x'));
  const Download plain = download(path);
  EXPECT_EQ(plain.outcome, Outcome::Received);
  EXPECT_EQ(plain.bytes.size(), 1000u);
#ifdef _WIN32
  std::string url = "file:///" + folder.path() + "/a%20feed%25/signatures.ini";
#else
  std::string url = "FILE://" + folder.path() + "/a%20feed%25/signatures.ini";
#endif
  EXPECT_EQ(download(url).bytes, plain.bytes);
  EXPECT_EQ(download(path, {.maxBytes = 999}).outcome, Outcome::TooLarge);
  EXPECT_EQ(download(path, {.maxBytes = 1000}).outcome, Outcome::Received);
}

TEST(DownloadTest, WhatIsNoFileFailsWithItsReason) {
  const TempFolder folder;
  for (const std::string& location :
       std::vector<std::string>{folder / "missing", folder.path(), "file://elsewhere/feed", "file:///bad%zzescape",
                                "file:///nul%00byte"}) {
    const Download got = download(location);
    EXPECT_EQ(got.outcome, Outcome::Failed) << location;
    EXPECT_FALSE(got.reason.empty()) << location;
  }
#ifndef _WIN32
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(download(folder / "fifo").outcome, Outcome::Failed) << "without waiting for a writer";
#endif
}

TEST(DownloadTest, UnreachableHostsFail) {
  // A reserved name that never resolves, and a port nothing listens on.
  for (const char* url : {"https://signatures.orvento.invalid/feed/signatures.ini", "http://127.0.0.1:1/x"}) {
    const Download got = download(url, {.connectTimeout = std::chrono::seconds(5)});
    EXPECT_EQ(got.outcome, Outcome::Failed) << url;
    EXPECT_FALSE(got.reason.empty());
  }
}

}  // namespace
}  // namespace halvik::platform
