#include "app/HeadlessScan.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "core/Settings.h"
#include "quarantine/QuarantineStore.h"
#include "support/ScanFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <streambuf>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace halvik::app {

namespace {
using namespace testing_support;
namespace fs = std::filesystem;

// Standard output as a test drives it: each line is kept and handed to `onLine`, which may act
// (delete a file between the scan and the repair) or refuse the line, as a full disk would.
class ScriptedOutput : public std::streambuf {
 public:
  std::function<bool(const std::string&)> onLine = [](const std::string&) { return true; };
  std::string written;

 protected:
  int_type overflow(int_type c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    m_line += static_cast<char>(c);
    if (c != '\n') return c;
    const bool taken = onLine(m_line);
    if (taken) written += m_line;
    m_line.clear();
    return taken ? c : traits_type::eof();
  }

 private:
  std::string m_line;
};

class HeadlessScanTest : public ScanFixture {
 protected:
  void SetUp() override {
    useDatabase({"evil.exe=Demo", "spy.dll=Spy"});
    fs::create_directories(tree / "one/sub");
    fs::create_directories(tree / "two");
    writeFile(tree / "one/sub/evil.exe", "bad");
    writeFile(tree / "one/clean.txt", "ok");
    writeFile(tree / "two/spy.dll", "bad too");
  }

  int run(const std::vector<std::string>& folders, bool repair = false) {
    out.str("");
    err.str("");
    return app::runHeadlessScan(folders, repair, out, err);
  }

  // The hit line of a path under the tree (on Windows every separator is written as two backslashes).
  std::string line(const std::string& threat, const std::string& path) const {
    return app::hitLine(threat, tree / path) + "\n";
  }

  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(HeadlessScanTest, HitsGoToStandardOutputAndTheSummaryToStandardError) {
  EXPECT_EQ(run({tree / "one", tree / "two"}), 1);
  EXPECT_EQ(out.str(), line("DEMO", "one/sub/evil.exe") + line("SPY", "two/spy.dll"));
  EXPECT_EQ(err.str(), "Objets Scann\u00E9s: 4\nObjets malicieux: 2\nDossiers illisibles: 0\n");
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalScans), "2")
      << "each folder counts as one scan, as in the window";
  EXPECT_TRUE(fs::exists(tree / "one/sub/evil.exe")) << "a scan alone changes nothing";
}

TEST_F(HeadlessScanTest, WithoutAValidSetItIsARunErrorAndScansNothing) {
  const std::string database = core::programFile(engine::kScanDatabase);
  const auto broken = std::vector<std::pair<const char*, std::function<void()>>>{
      {"missing", [&] { fs::remove(database); }},
      {"empty", [&] { writeFile(database, ""); }},
      {"damaged", [&] { writeFile(database, std::string("[Scanfiles]\r\nEVIL.EXE=\0Demo", 27)); }},
      {"folder", [&] { fs::create_directory(database); }},
#ifndef _WIN32
      {"FIFO, never waited on", [&] { ASSERT_EQ(mkfifo(database.c_str(), 0600), 0); }},
#endif
  };
  for (const auto& [what, breakIt] : broken) {
    fs::remove(database);
    breakIt();
    EXPECT_EQ(run({tree / "one"}), 2) << what;
    EXPECT_EQ(out.str(), "") << what;
    EXPECT_EQ(err.str(), message("aucune base de signatures valide : " + escapedForLine(database) +
                                 " est absente, vide, endommag\u00E9e ou illisible (voir --signatures)\n"))
        << what;
  }
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalScans), "0");
}

#ifndef _WIN32
TEST_F(HeadlessScanTest, EachUnreadableFolderIsNamedOnStandardErrorAndLogged) {
  core::settings::write(core::settings::Key::LogFile, "1");
  fs::create_directories(tree / "one/locked\nout");
  ASSERT_EQ(chmod((tree / "one/locked\nout").c_str(), 0), 0);
  const bool named = inProcessWithoutOverrides([&] {
    return run({tree / "one"}) == 1 &&
           err.str().starts_with(message("dossier illisible : " + escapedForLine(tree / "one/locked\nout")) + "\n") &&
           err.str().ends_with("Dossiers illisibles: 1\n") &&
           logLinesWith("Could not read the folder " + (tree / "one/locked")) == 1;
  });
  EXPECT_TRUE(named);
}
#endif

TEST_F(HeadlessScanTest, RepairDeletesEveryHitAndSaysWhatHappened) {
  core::settings::write(core::settings::Key::Quarintine, "0");
  EXPECT_EQ(run({tree / "one", tree / "two"}, true), 1);
  EXPECT_EQ(out.str(), line("DEMO", "one/sub/evil.exe") + line("SPY", "two/spy.dll") + "supprim\u00E9\t" +
                           line("DEMO", "one/sub/evil.exe") + "supprim\u00E9\t" + line("SPY", "two/spy.dll"));
  EXPECT_FALSE(fs::exists(tree / "one/sub/evil.exe"));
  EXPECT_FALSE(fs::exists(tree / "two/spy.dll"));
  EXPECT_TRUE(fs::exists(tree / "one/clean.txt"));
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalObjectsRemoved), "2");
  EXPECT_TRUE(quarantine::ListQuarantine().empty());
}

TEST_F(HeadlessScanTest, RepairKeepsAQuarantineCopyWhenAsked) {
  core::settings::write(core::settings::Key::Quarintine, "1");
  EXPECT_EQ(run({tree / "two"}, true), 1);
  EXPECT_NE(out.str().find("copi\u00E9 en quarantaine puis supprim\u00E9\tSPY\t"), std::string::npos) << out.str();
  ASSERT_EQ(quarantine::ListQuarantine().size(), 1u);
  EXPECT_EQ(readFile(quarantine::QuarantineFolder() + platform::kSeparator + "spy.dll.aaq"), "bad too");
}

TEST_F(HeadlessScanTest, RepairNeverDeletesAFolderNamedLikeAThreat) {
  fs::create_directories(tree / "three/evil.exe");
  writeFile(tree / "three/evil.exe/inside", "kept");
  EXPECT_EQ(run({tree / "three"}, true), 1);
  EXPECT_NE(out.str().find("non supprim\u00E9\tDEMO\t"), std::string::npos) << out.str();
  EXPECT_EQ(readFile(tree / "three/evil.exe/inside"), "kept");
}

TEST_F(HeadlessScanTest, SaysOnlyWhatHappenedWalksAFolderOnceAndStopsAtAFailedWrite) {
  core::settings::write(core::settings::Key::Quarintine, "1");
  ScriptedOutput output;
  std::ostream scripted(&output);
  // Named twice, and once more through another name: walked once. Gone before the repair: said
  // so, neither copied nor counted.
  output.onLine = [&](const std::string&) { return fs::remove(tree / "two/spy.dll") || true; };
  EXPECT_EQ(app::runHeadlessScan({tree / "two", tree / "two", tree / "one/../two"}, true, scripted, err), 1);
  EXPECT_EQ(output.written,
            line("SPY", "two/spy.dll") + "non supprim\u00E9 : disparu depuis le scan\t" + line("SPY", "two/spy.dll"));
  EXPECT_EQ(core::settings::read(core::settings::Key::TotalObjectsRemoved), "0");
  EXPECT_TRUE(quarantine::ListQuarantine().empty());

  // The first verdict that cannot be written ends the repair: one line on standard error, exit 2.
  writeFile(tree / "two/spy.dll", "bad too");
  int lines = 0;
  output.onLine = [&](const std::string&) { return ++lines < 3; };
  err.str("");
  EXPECT_EQ(app::runHeadlessScan({tree / "one", tree / "two"}, true, scripted, err), 2);
  const std::string said = err.str();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_FALSE(fs::exists(tree / "one/sub/evil.exe")) << "removed before its line failed";
  EXPECT_TRUE(fs::exists(tree / "two/spy.dll")) << "nothing more after the failed write";
}

#ifndef _WIN32
TEST_F(HeadlessScanTest, ADataFolderOthersMayWriteStopsTheRunBeforeAnything) {
  ASSERT_EQ(::chmod(environment.programFolder().c_str(), 0777), 0);
  EXPECT_EQ(run({tree / "two"}, true), 2);
  EXPECT_EQ(out.str(), "");
  const std::string said = err.str();
  EXPECT_NE(said.find(environment.programFolder()), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one line";
  EXPECT_TRUE(fs::exists(tree / "two/spy.dll"));
  ASSERT_EQ(::chmod(environment.programFolder().c_str(), 0700), 0);
}
#endif

}  // namespace

}  // namespace halvik::app
