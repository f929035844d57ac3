#pragma once

#include <string>

// Where the program finds its own files and the user's: the program folder (signature
// databases, "Logs", "Quarintine"), the per-user settings file and the autostart folder.
// The application takes them from the platform at start-up; tests point them at a
// temporary folder so that they never touch the user's files.
namespace core {

// The program title: caption of message boxes and application name of the status counters.
inline constexpr const char* kProgramTitle = "Orvento Halvik";

struct Locations {
  std::string programFolder;    // no trailing separator
  std::string settingsFile;     // the per-user settings store
  std::string autostartFolder;  // where the start-up entry is written
};

// The locations the platform reports for this user and this executable.
Locations platformLocations();

// The locations in force; the platform's until setLocations is called.
const Locations& locations();
void setLocations(Locations locations);

// A file the program owns: the program folder followed by the separator and `name`
// ("scan.dll" gives "<program folder>/scan.dll").
std::string programFile(const std::string& name);

}  // namespace core
