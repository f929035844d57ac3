#include "app/CommandLine.h"

#include "platform/Platform.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvik::app {

using app::Action;
using app::parse;

namespace {

// The message of a usage error, which must be one line.
std::string errorOf(const std::vector<std::string>& arguments) {
  const app::Request request = parse(arguments);
  EXPECT_EQ(request.action, Action::Error);
  EXPECT_EQ(request.message.find('\n'), std::string::npos);
  EXPECT_EQ(request.message.rfind("orvento-halvik : ", 0), 0u) << request.message;
  return request.message;
}

}  // namespace

TEST(CommandLine, WindowIsTheDefaultAndFoldersAreKeptInOrder) {
  const app::Request none = parse({});
  EXPECT_EQ(none.action, Action::Window);
  EXPECT_TRUE(none.paths.empty());
  EXPECT_FALSE(none.page);
  EXPECT_FALSE(none.settings);

  const app::Request folders = parse({"b", "a", "-", "--", "--scan", "-x"});
  EXPECT_EQ(folders.action, Action::Window);
  EXPECT_EQ(folders.paths, (std::vector<std::string>{"b", "a", "-", "--scan", "-x"})) << "\"--\" ends the options";
}

TEST(CommandLine, PagesAndSettings) {
  for (const auto& words : std::vector<std::vector<std::string>>{{"--page", "3"}, {"--page=3"}}) {
    const app::Request request = parse(words);
    EXPECT_EQ(request.action, Action::Window);
    EXPECT_EQ(request.page, 3);
  }
  const app::Request both = parse({"--settings", "--page", "0"});
  EXPECT_TRUE(both.settings);
  EXPECT_EQ(both.page, 0);
  for (const char* bad : {"5", "-1", "", "1x", "01", "deux"})
    EXPECT_NE(errorOf({"--page", bad}).find("page"), std::string::npos) << bad;
  EXPECT_NE(errorOf({"--page"}).find("--page demande"), std::string::npos);
  errorOf({"--page", "1", "/tmp"});
}

TEST(CommandLine, WatchTakesFoldersAndRepairAlone) {
  const app::Request watch = parse({"a", "--watch", "--repair", "b"});
  EXPECT_EQ(watch.action, Action::Watch);
  EXPECT_EQ(watch.paths, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(watch.repair);
  EXPECT_NE(errorOf({"--watch"}).find("au moins un dossier"), std::string::npos);
  EXPECT_NE(errorOf({"--watch", "a", "--scan"}).find("--scan"), std::string::npos);
  errorOf({"--watch", "a", "--page", "1"});
  EXPECT_EQ(parse({"--watch", "a", "--format", "json"}).format, Format::Json);
  for (const char* scanOnly : {"--quiet", "--jobs=2", "--all-drives", "--exclude=x"})
    EXPECT_NE(errorOf({"--watch", "a", scanOnly}).find("qu'avec --scan"), std::string::npos) << scanOnly;
}

TEST(CommandLine, ScanTakesPathsAndRepair) {
  const app::Request scan = parse({"--scan", "a", "b c", "--repair"});
  EXPECT_EQ(scan.action, Action::Scan);
  EXPECT_EQ(scan.paths, (std::vector<std::string>{"a", "b c"}));
  EXPECT_TRUE(scan.repair);
  EXPECT_FALSE(parse({"a", "--scan"}).repair);
  EXPECT_EQ(parse({"a", "--scan"}).action, Action::Scan) << "options and paths in any order";

  EXPECT_NE(errorOf({"--scan"}).find("au moins un chemin"), std::string::npos);
  EXPECT_NE(errorOf({"--scan", "--repair"}).find("au moins un chemin"), std::string::npos);
  EXPECT_NE(errorOf({"--repair", "a"}).find("--repair"), std::string::npos);
  errorOf({"--scan", "a", "--page", "1"});
  errorOf({"--scan", "a", "--settings"});
}

TEST(CommandLine, UpdateTakesAnOptionalSourceAndStandsAlone) {
  EXPECT_EQ(parse({"--update"}).action, Action::Update);
  EXPECT_EQ(parse({"--update"}).source, "");
  EXPECT_EQ(parse({"--update", "http://mirror/feed/"}).source, "http://mirror/feed/");
  EXPECT_EQ(parse({"--rollback"}).action, Action::Rollback);
  for (const std::vector<std::string>& mixed : std::vector<std::vector<std::string>>{{"--update", "a", "b"},
                                                                                     {"--update", "--scan", "/"},
                                                                                     {"--rollback", "x"},
                                                                                     {"--update", "--rollback"},
                                                                                     {"--settings", "--update"}})
    EXPECT_NE(errorOf(mixed).find("seuls"), std::string::npos);
}

TEST(CommandLine, FirstOfHelpVersionOrErrorDecides) {
  EXPECT_EQ(parse({"--help"}).action, Action::Help);
  EXPECT_EQ(parse({"-h", "--bogus"}).action, Action::Help);
  EXPECT_EQ(parse({"--scan", "--version"}).action, Action::Version);
  EXPECT_EQ(parse({"--scan", "--signatures", "--help"}).action, Action::Signatures);
  EXPECT_EQ(parse({"--", "--help"}).action, Action::Window);
  const std::string unknown = errorOf({"--bogus", "--help"});
  EXPECT_NE(unknown.find("option inconnue \u00AB --bogus \u00BB"), std::string::npos) << unknown;
  EXPECT_EQ(errorOf({"--evil\nline"}).find('\n'), std::string::npos) << "a line feed in an option stays in one line";
}

TEST(CommandLine, PathProblemsAreFoundBeforeAnythingIsDone) {
  testing_support::TempFolder root;
  testing_support::writeFile(root / "file", "x");
  std::filesystem::create_directory(root / "folder");
  EXPECT_FALSE(app::firstPathProblem({root.path(), root / "folder"}));

  const auto missing = app::firstPathProblem({root / "folder", root / "missing", root / "file"});
  ASSERT_TRUE(missing);
  EXPECT_NE(missing->find("missing \u00BB n'existe pas"), std::string::npos) << *missing;
  const auto file = app::firstPathProblem({root / "file"});
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("n'est pas un dossier"), std::string::npos) << *file;
  EXPECT_TRUE(app::firstPathProblem({""}));
}

}  // namespace halvik::app

namespace halvik::app {

TEST(CommandLine, OptionsOfTheScanAlone) {
  const app::Request scan = parse({"--scan", "--format", "json", "--exclude=*.iso", "--exclude", "node_modules",
                                   "--exclude-from", "list", "--jobs=3", "--quiet", "a"});
  EXPECT_EQ(scan.action, Action::Scan);
  EXPECT_EQ(scan.format, Format::Json);
  EXPECT_EQ(scan.excludes, (std::vector<std::string>{"*.iso", "node_modules"}));
  EXPECT_EQ(scan.excludeFiles, std::vector<std::string>{"list"});
  EXPECT_EQ(scan.jobs, 3u);
  EXPECT_TRUE(scan.quiet);
  EXPECT_EQ(parse({"--scan", "a"}).jobs, 0u) << "one thread per core unless told";
  const app::Request drives = parse({"--scan", "--all-drives"});
  EXPECT_EQ(drives.action, Action::Scan);
  EXPECT_TRUE(drives.allDrives);

  for (const char* bad : {"0", "257", "-1", "x", ""}) errorOf({"--scan", "a", "--jobs", bad});
  errorOf({"--scan", "a", "--format", "xml"});
  errorOf({"--scan", "a", "--exclude"});
  errorOf({"--scan", "--all-drives", "a"});
  for (const char* alone : {"--quiet", "--all-drives", "--jobs=2", "--format=json"})
    EXPECT_NE(errorOf({alone}).find("qu'avec --scan"), std::string::npos) << alone;
}

}  // namespace halvik::app
