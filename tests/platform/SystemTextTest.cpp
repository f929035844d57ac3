// The program's own words in the system's encoding, and the root that begins a path.
#include "platform/SystemText.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#endif

namespace halvik::platform {

TEST(SystemTextTest, ProgramWordsTakeTheSystemEncoding) {
#ifdef _WIN32
  if (GetACP() != 1252) GTEST_SKIP() << "the expected bytes are those of the Western code page 1252";
  EXPECT_EQ(platform::systemText("Terminé"), "Termin\xE9");
  EXPECT_EQ(platform::systemText("Scanné €"), "Scann\xE9 \x80");
  EXPECT_EQ(platform::systemText("日本"), "??");  // characters the code page lacks
#else
  EXPECT_EQ(platform::systemText("Terminé"), "Terminé");
#endif
  EXPECT_EQ(platform::systemText(""), "");
  EXPECT_EQ(platform::systemText("-Sacn Termin"), "-Sacn Termin");
}

TEST(SystemTextTest, RootThatBeginsAPath) {
#ifdef _WIN32
  EXPECT_EQ(platform::rootLength("C:\\"), 3u);
  EXPECT_EQ(platform::rootLength("d:\\Windows"), 3u);
  EXPECT_EQ(platform::rootLength("C:"), 0u);  // the drive's current folder, not its root
  EXPECT_EQ(platform::rootLength("C:name"), 0u);
  EXPECT_EQ(platform::rootLength("1:\\"), 0u);
#else
  EXPECT_EQ(platform::rootLength("/"), 1u);
  EXPECT_EQ(platform::rootLength("/usr/lib"), 1u);
  EXPECT_EQ(platform::rootLength("C:\\"), 0u);
#endif
  EXPECT_EQ(platform::rootLength(""), 0u);
  EXPECT_EQ(platform::rootLength("relative/name"), 0u);
}

}  // namespace halvik::platform
