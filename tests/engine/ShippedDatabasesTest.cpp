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

// The entries of a database file: every line after the "[Scanfiles]" header, which must be
// "KEY=value" lines; comments are allowed before the header only.
std::map<std::string, std::string> entriesOf(const std::string& text) {
  std::map<std::string, std::string> entries;
  bool inSection = false;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    if (!inSection) {
      inSection = line == "[Scanfiles]";
      EXPECT_TRUE(inSection || line.starts_with(";")) << line;
      continue;
    }
    const auto equals = line.find('=');
    EXPECT_TRUE(equals != std::string::npos && equals > 0 && equals + 1 < line.size()) << line;
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    EXPECT_EQ(key, platform::upperCase(key));
    EXPECT_EQ(FileNameOf(key), key);
    EXPECT_TRUE(entries.emplace(key, line.substr(equals + 1)).second) << "duplicate " << key;
  }
  return entries;
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
  const auto entries = entriesOf(scan);
  EXPECT_EQ(entriesOf(reference), entries);
  EXPECT_GE(entries.size(), 40u);

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
