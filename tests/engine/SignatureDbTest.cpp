#include "core/Locations.h"
#include "engine/SignatureDb.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>

namespace halvik::engine {

using testing_support::TestEnvironment;
using testing_support::writeFile;

TEST(FileNameOf, IsTheTextAfterTheLastSeparator) {
  EXPECT_EQ(FileNameOf("/usr/bin/evil"), "evil");
  EXPECT_EQ(FileNameOf("evil.exe"), "evil.exe");
  EXPECT_EQ(FileNameOf("/evil"), "evil");
  EXPECT_EQ(FileNameOf("/srv/dir/"), "");
  EXPECT_EQ(FileNameOf("/"), "");
  EXPECT_EQ(FileNameOf(""), "");
  EXPECT_EQ(FileNameOf("/srv/a b\xFF.exe"), "a b\xFF.exe");
#ifdef _WIN32
  EXPECT_EQ(FileNameOf("C:\\WINDOWS\\notepad.exe"), "notepad.exe");
  EXPECT_EQ(FileNameOf("C:\\x/y\\z"), "z");
#else
  // A backslash is an ordinary byte of a Linux file name.
  EXPECT_EQ(FileNameOf("C:\\WINDOWS\\notepad.exe"), "C:\\WINDOWS\\notepad.exe");
  EXPECT_EQ(FileNameOf("/srv/a\\b"), "a\\b");
#endif
}

class LookupThreatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(core::programFile(kReferenceDatabase),
              "; reference\r\n[scanfiles]\r\nnotepad.exe=Demo\r\nEMPTY.EXE=\r\nSPACED.EXE =  Padded Threat  \r\n"
              "A\\NOTEPAD.EXE=Whole\r\n...=Dots\r\n");
    writeFile(core::programFile(kScanDatabase), "[Scanfiles]\r\nSCANONLY.EXE=Scan Only\r\n");
    reloadSignatures();
  }
  TestEnvironment m_environment;
};

TEST_F(LookupThreatTest, FindsTheFileNameInUpperCaseAndReturnsTheValueAsStored) {
  EXPECT_EQ(LookupThreat("/usr/bin/notepad.exe"), "Demo");
  EXPECT_EQ(LookupThreat("/usr/bin/Notepad.EXE"), "Demo");
  EXPECT_EQ(LookupThreat("NOTEPAD.EXE"), "Demo");
  EXPECT_EQ(LookupThreat("/srv/spaced.exe"), "Padded Threat");
  EXPECT_EQ(LookupThreat("/srv/..."), "Dots");
  EXPECT_EQ(LookupThreat("/srv/empty.exe"), "") << "an empty value is no threat";
  EXPECT_EQ(LookupThreat("/srv/notepad.exe.bak"), "") << "only whole names match";
  EXPECT_EQ(LookupThreat("/srv/notepad"), "");
  EXPECT_EQ(LookupThreat("/srv/"), "");
  EXPECT_EQ(LookupThreat(""), "");
#ifndef _WIN32
  EXPECT_EQ(LookupThreat("a\\notepad.exe"), "Whole") << "a name without a separator is looked up whole";
#endif
}

TEST_F(LookupThreatTest, LeavesTheSharedReaderOnTheScanDatabase) {
  SignatureDb.setPath(core::programFile(kScanDatabase));
  SignatureDb.setSection("SCANFILES");
  SignatureDb.setKey("SCANONLY.EXE");
  EXPECT_EQ(SignatureDb.Value(), "Scan Only");

  EXPECT_EQ(LookupThreat("/bin/scanonly.exe"), "");
  EXPECT_EQ(SignatureDb.Path(), core::programFile(kScanDatabase));
  EXPECT_EQ(SignatureDb.Section(), "SCANFILES");
  EXPECT_EQ(SignatureDb.Value(), "Scan Only") << "a file scan after a LookupThreat still reads scan.dll";
  SignatureDb.setKey("NOTEPAD.EXE");
  EXPECT_EQ(SignatureDb.Value(), "");
}

TEST_F(LookupThreatTest, MissingOrDamagedReferenceFallsBackToTheScanDatabase) {
  for (const std::string& broken : {std::string(), std::string("\0\xFF\xFE[\0S", 6) + "\n\n\rnotepad.exe"}) {
    writeFile(core::programFile(kReferenceDatabase), broken);
    reloadSignatures();
    EXPECT_EQ(LookupThreat("/usr/bin/notepad.exe"), "");
    EXPECT_EQ(LookupThreat("/usr/bin/scanonly.exe"), "Scan Only");
  }
  std::filesystem::remove(core::programFile(kReferenceDatabase));
  reloadSignatures();
  EXPECT_EQ(LookupThreat("/usr/bin/scanonly.exe"), "Scan Only");
}

}  // namespace halvik::engine
