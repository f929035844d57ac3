// The signature databases delivered beside the executable: their layout, and no false
// positive on the names of a clean system's files.
#include "core/Locations.h"
#include "engine/SignatureDb.h"
#include "platform/Ascii.h"
#include "platform/Platform.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <ftw.h>

#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace halvik::engine {

using testing_support::readFile;

namespace {

// Points the program folder at the build's, where the databases are copied.
class ShippedDatabasesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_environment->programFolder = platform::programFolder();
    reloadSignatures();
  }

 private:
  testing_support::TestEnvironment m_environment;
};

using Section = std::map<std::string, std::string>;

// The sections of a database file: "[Name]" headers, each followed by "KEY=value" lines;
// comments are allowed before the first header only.
std::map<std::string, Section> sectionsOf(const std::string& text) {
  std::map<std::string, Section> sections;
  Section* section = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    if (line.starts_with("[") && line.ends_with("]")) {
      const auto [it, added] = sections.try_emplace(line.substr(1, line.size() - 2));
      EXPECT_TRUE(added) << "duplicate section " << line;
      section = &it->second;
      continue;
    }
    EXPECT_TRUE(section != nullptr || line.starts_with(";")) << line;
    if (section == nullptr) continue;
    const auto equals = line.find('=');
    EXPECT_TRUE(equals != std::string::npos && equals > 0 && equals + 1 < line.size()) << line;
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    EXPECT_TRUE(section->emplace(key, line.substr(equals + 1)).second) << "duplicate " << key;
  }
  return sections;
}

// Every file and folder name under `root`, symbolic links not followed, unreadable folders skipped.
std::vector<std::string> namesUnder(const char* root) {
  static std::vector<std::string>* names = nullptr;
  std::vector<std::string> found;
  names = &found;
  nftw(
      root,
      [](const char* path, const struct stat*, int, struct FTW* where) {
        names->push_back(path + where->base);
        return 0;
      },
      64, FTW_PHYS);
  names = nullptr;
  return found;
}

}  // namespace

TEST_F(ShippedDatabasesTest, BothDatabasesHoldTheSameWellFormedEntries) {
  const std::string scan = readFile(core::programFile(kScanDatabase));
  const std::string reference = readFile(core::programFile(kReferenceDatabase));
  ASSERT_TRUE(scan.starts_with(";")) << "a header comment says what the file is";
  ASSERT_TRUE(reference.starts_with(";"));
  const auto sections = sectionsOf(scan);
  EXPECT_EQ(sectionsOf(reference), sections);
  ASSERT_TRUE(sections.contains("Scanfiles"));
  const Section& entries = sections.at("Scanfiles");
  EXPECT_GE(entries.size(), 300u);
  for (const auto& entry : entries) {
    const std::string& key = entry.first;
    EXPECT_EQ(key, platform::upperCase(key));
    EXPECT_EQ(FileNameOf(key), key);
    EXPECT_TRUE(IsKeyName(key)) << key;
  }

  // The set's version (an increasing integer) and its day.
  ASSERT_TRUE(sections.contains("Signatures"));
  const Section& signatures = sections.at("Signatures");
  EXPECT_EQ(signatures.size(), 2u);
  const std::string version = signatures.contains("Version") ? signatures.at("Version") : "";
  EXPECT_TRUE(!version.empty() && version.find_first_not_of("0123456789") == std::string::npos) << version;
  const std::string date = signatures.contains("Date") ? signatures.at("Date") : "";
  EXPECT_TRUE(date.size() == 10 && date[4] == '-' && date[7] == '-') << date;

  // The profile reader gives back each entry through both users of the database.
  SignatureDb.setPath(core::programFile(kScanDatabase));
  SignatureDb.setSection("SCANFILES");
  for (const auto& [key, threat] : entries) {
    SignatureDb.setKey(key);
    EXPECT_EQ(SignatureDb.Value(), threat) << key;
  }
  for (const auto& [key, threat] : entries) EXPECT_EQ(LookupThreat("/srv/x/" + key), threat) << key;
  EXPECT_EQ(LookupThreat("/srv/kinsing"), "Kinsing (H2Miner) botnet agent");
  EXPECT_EQ(LookupThreat("C:/WINDOWS/mssecsvc.exe"), "WannaCry dropper/worm service");
}

TEST_F(ShippedDatabasesTest, NoNameUnderUsrIsAThreat) {
  // The quick scan's root: "/usr" on Linux, the Windows folder on Windows.
  const std::string root = platform::windowsFolder();
  const std::vector<std::string> names = namesUnder(root.c_str());
  ASSERT_GT(names.size(), 500u) << root << " was not walked";  // a fresh Wine prefix holds some 850
  std::vector<std::string> hits;
  for (const std::string& name : names) {
    if (const std::string threat = LookupThreat(name); !threat.empty())
      hits.push_back(name + " (reference: " + threat + ")");
  }
  SignatureDb.setPath(core::programFile(kScanDatabase));
  SignatureDb.setSection("SCANFILES");
  for (const std::string& name : names) {
    SignatureDb.setKey(platform::upperCase(name));
    if (const std::string threat = SignatureDb.Value(); !threat.empty())
      hits.push_back(name + " (scan: " + threat + ")");
  }
  std::cout << "names checked under " << root << ": " << names.size() << ", hits: " << hits.size() << std::endl;
  EXPECT_TRUE(hits.empty()) << ::testing::PrintToString(hits);
}

}  // namespace halvik::engine
