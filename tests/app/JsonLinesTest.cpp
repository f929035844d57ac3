#include "app/JsonLines.h"
#include "app/JsonText.h"
#include "app/ScanCommand.h"
#include "core/IsoTime.h"

#include "core/Settings.h"
#include "support/ScanFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace halvik::app {
namespace {
using namespace testing_support;
namespace fs = std::filesystem;

// The bytes of a base64 text, for the round trip.
std::string decoded(const std::string& text) {
  const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  std::uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    if (c == '=') break;
    bits = (bits << 6) | static_cast<std::uint32_t>(digits.find(c));
    if ((count += 6) >= 8) bytes += static_cast<char>((bits >> (count -= 8)) & 0xFF);
  }
  return bytes;
}

#ifndef _WIN32
// The text of the string member `name` of a JSON line, unescaped as far as these lines need.
std::string member(const std::string& line, const std::string& name) {
  const auto start = line.find("\"" + name + "\":\"");
  if (start == std::string::npos) return "(none)";
  std::string text;
  for (auto at = start + name.size() + 4; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] != '\\') {
      text += line[at];
      continue;
    }
    const char escape = line[++at];
    if (escape == 'u') {
      text += static_cast<char>(std::stoi(line.substr(at + 1, 4), nullptr, 16));
      at += 4;
    } else {
      text += escape == 'n' ? '\n' : escape == 't' ? '\t' : escape == 'r' ? '\r' : escape;
    }
  }
  return text;
}
#endif

TEST(JsonText, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(json::validUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(json::validUtf8("a\xFF"
                            "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(json::validUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD") << "an overlong form";
  EXPECT_EQ(json::validUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD") << "a surrogate";
  EXPECT_EQ(json::validUtf8("\xF0\x9F\x98"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD") << "a cut sequence";
  EXPECT_EQ(json::validUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(JsonText, StringsBase64AndTimes) {
  EXPECT_EQ(json::quoted("a\"b\\c\nd\x01\x7F"), "\"a\\\"b\\\\c\\nd\\u0001\\u007f\"");
  for (const std::string& bytes :
       {std::string(), std::string("f"), std::string("fo"), std::string("foob"), std::string("\xFF\x00\x80", 3)})
    EXPECT_EQ(decoded(json::base64(bytes)), bytes);
  EXPECT_EQ(json::base64("foob"), "Zm9vYg==");
  EXPECT_EQ(core::isoTime(std::chrono::system_clock::time_point(std::chrono::seconds(1796663095))),
            "2026-12-07T17:04:55Z");
}

TEST(JsonLines, ObjectsOfTheSchema) {
  EXPECT_EQ(jsonHitLine("DEMO", "/t/evil.exe", HitAction::Found),
            "{\"type\":\"hit\",\"threat\":\"DEMO\",\"path\":\"/t/evil.exe\",\"action\":\"found\"}");
#ifdef _WIN32
  const std::string text = "/t/\xC3\xBF";  // the byte in the ANSI code page (Wine's 1252)
#else
  const std::string text = "/t/\xEF\xBF\xBD";  // no UTF-8: the replacement character
#endif
  EXPECT_EQ(jsonHitLine("DEMO", "/t/\xFF", HitAction::NotRemoved, "why"),
            "{\"type\":\"hit\",\"threat\":\"DEMO\",\"path\":\"" + text +
                "\",\"path_bytes\":\"L3Qv/w==\",\"action\":\"not-removed\",\"reason\":\"why\"}");
  EXPECT_EQ(jsonUpdateLine("refused", 7, "bad signature"),
            "{\"type\":\"update\",\"status\":\"refused\",\"version\":7,\"reason\":\"bad signature\"}");
  ScanSummary summary{3, 1, 0, 2, 5, {}, std::chrono::system_clock::time_point(std::chrono::seconds(60)), 1};
  EXPECT_EQ(jsonSummaryLine(summary),
            "{\"type\":\"summary\",\"scanned\":3,\"hits\":1,\"unreadable\":0,\"excluded\":2,\"signatures_version\":5,"
            "\"started\":\"1970-01-01T00:00:00Z\",\"ended\":\"1970-01-01T00:01:00Z\",\"status\":1}");
}

#ifndef _WIN32
class JsonScanTest : public ScanFixture {
 protected:
  void SetUp() override { useDatabase({"evil.exe=Demo"}); }
};

TEST_F(JsonScanTest, EveryOddNameRoundTripsThroughOneLine) {
  const std::vector<std::string> names = {"ctl\x01\x1F",         "bad\xFF\xFE",        "new\nline",
                                          std::string(255, 'n'), "quote\"back\\slash", "caf\xC3\xA9"};
  for (const std::string& name : names) {
    fs::create_directories(tree / name);
    writeFile(tree / (name + "/evil.exe"), "x");
  }
  ScanOptions options;
  options.roots = {tree.path()};
  options.json = true;
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runScanCommand(options, out, err), 1);
  std::istringstream lines(out.str());
  std::vector<std::string> paths;
  std::string line;
  std::string last;
  while (std::getline(lines, line)) {
    ASSERT_EQ(line.front(), '{');
    ASSERT_EQ(line.back(), '}');
    if (line.find("\"type\":\"hit\"") == std::string::npos) {
      last = line;
      continue;
    }
    const std::string bytes = member(line, "path_bytes");
    paths.push_back(bytes == "(none)" ? member(line, "path") : decoded(bytes));
  }
  std::vector<std::string> expected;
  for (const std::string& name : names) expected.push_back(tree / (name + "/evil.exe"));
  std::sort(paths.begin(), paths.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(paths, expected);
  EXPECT_EQ(last.rfind("{\"type\":\"summary\",\"scanned\":12,\"hits\":6,", 0), 0u) << last;
  EXPECT_EQ(err.str(), "");
}
#endif

}  // namespace
}  // namespace halvik::app
