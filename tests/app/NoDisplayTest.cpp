// Both programs with a window, started where no window can be shown: one French line on standard
// error and status 2, never Qt's abort.
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace halvik::app {

namespace {
using testing_support::TempFolder;

constexpr const char* kLine =
    "Aucun affichage disponible : lancez orvento-halvik dans une session graphique, ou utilisez --scan.\n";

struct Outcome {
  int status = -1;
  std::string err;
};

// Runs `program` with a scratch home and `display` put before it ("env -u DISPLAY ..." forms).
Outcome start(const TempFolder& home, const std::string& display, const std::string& program) {
  const std::string errFile = home / "stderr";
  std::filesystem::create_directory(home / "run");
  std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
  const std::string command = "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u DBUS_SESSION_BUS_ADDRESS " + display +
                              " HOME='" + home.path() + "' XDG_CONFIG_HOME='" + (home / "config") +
                              "' XDG_RUNTIME_DIR='" + (home / "run") + "' '" + program + "' 2>'" + errFile + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing_support::readFile(errFile)};
}

TEST(NoDisplayTest, BothProgramsSayItInFrenchAndEndWithStatusTwo) {
  for (const char* program : {HALVIK_PROGRAM, HALVIK_COMPANION}) {
    // No display named, then one named that nothing answers on: Qt itself gives up there.
    for (const char* display : {"-u DISPLAY", "DISPLAY=:31999"}) {
      const TempFolder home;
      const Outcome outcome = start(home, display, program);
      EXPECT_EQ(outcome.status, 2) << program << ' ' << display << ": " << outcome.err;
      EXPECT_TRUE(outcome.err.ends_with(kLine)) << program << ' ' << display << ": " << outcome.err;
    }
  }
}

}  // namespace

}  // namespace halvik::app
