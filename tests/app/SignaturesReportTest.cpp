#include "app/SignaturesReport.h"

#include "app/HitLine.h"
#include "core/Locations.h"
#include "engine/CurrentSignatures.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace halvik::app {
namespace {

using testing_support::writeFile;

TEST(SignaturesReport, NamesTheSetInUseAndWhatBecameOfTheOthers) {
  testing_support::TestEnvironment environment;
  const std::string set = "[Signatures]\r\nVersion=7\r\nDate=2026-12-07\r\n[Scanfiles]\r\nA.EXE=A\r\nB.EXE=B\r\n";
  writeFile(core::programFile(engine::kScanDatabase), set);
  std::filesystem::create_directories(core::userSignaturesFolder());
  writeFile(core::userSignaturesFolder() + platform::kSeparator + engine::kScanDatabase, set);
  const std::string program = escapedForLine(environment.programFolder());
  std::ostringstream out;
  EXPECT_EQ(reportSignatures(out), 0);
  EXPECT_EQ(out.str(),
            "Signatures en usage : version 7 du 2026-12-07, 2 noms\n  venant de " + program +
                "\nEnsembles trouv\u00E9s :\n  livr\u00E9es avec le programme (" + program +
                ") : en usage\n  mises \u00E0 jour de l'utilisateur (" + escapedForLine(core::userSignaturesFolder()) +
                ") : refus\u00E9es : scan.dll: its signature file is missing; REFERENCE_6-27-03.dat: missing\n"
                "  mises \u00E0 jour pour tous les utilisateurs (" +
                escapedForLine(core::machineSignaturesFolder()) + ") : absentes\n");

  std::filesystem::remove(core::programFile(engine::kScanDatabase));
  out.str("");
  EXPECT_EQ(reportSignatures(out), 2);
  EXPECT_TRUE(out.str().starts_with("Signatures en usage : aucune")) << out.str();
  EXPECT_NE(out.str().find("programme (" + program + ") : absentes"), std::string::npos);
}

}  // namespace
}  // namespace halvik::app
