#include "app/ProgressLine.h"

#include <gtest/gtest.h>

#include <sstream>

namespace halvik::app {
namespace {

TEST(ProgressLine, TenLinesASecondAtMostEachCutToTheTerminal) {
  std::int64_t now = 0;
  std::ostringstream err;
  ProgressLine line(err, 100, [&now] { return now; });
  now = 1'000'000'000;
  line.update({5000, 1, 0, 0}, "/home/user/" + std::string(100, 'x') + "/\x1b]0;title\x07");
  const std::string first = err.str();
  EXPECT_EQ(first.rfind("\r\x1b[K5000 entr\u00E9es, 1 objet malicieux, 5000 entr\u00E9es/s \u2026", 0), 0u) << first;
  EXPECT_NE(first.find("\\x1B]0;title\\x07"), std::string::npos) << "a name never steers the terminal";
  EXPECT_EQ(first.find('\x07'), std::string::npos);
  now += 99'000'000;
  line.update({6000, 1, 0, 0}, "/b");
  EXPECT_EQ(err.str(), first) << "less than a tenth of a second later";
  now += 1'000'000;
  line.update({6000, 1, 0, 0}, "/b");
  EXPECT_NE(err.str().find("/b"), std::string::npos);
  line.clear();
  line.clear();
  EXPECT_EQ(err.str().substr(err.str().size() - 6), "/b\r\x1b[K") << "erased once";
}

TEST(ProgressLine, NounsAreSingularBelowTwo) {
  std::int64_t now = 0;
  std::ostringstream err;
  ProgressLine line(err, 200, [&now] { return now; });
  now = 1'000'000'000;
  line.update({1, 0, 0, 0}, "/a");
  EXPECT_EQ(err.str(), "\r\x1b[K1 entr\u00E9e, 0 objet malicieux, 1 entr\u00E9e/s /a");
  now *= 2;
  line.update({4, 2, 0, 0}, "/b");
  EXPECT_EQ(err.str().substr(err.str().rfind('\r')), "\r\x1b[K4 entr\u00E9es, 2 objets malicieux, 2 entr\u00E9es/s /b");
}

}  // namespace
}  // namespace halvik::app
