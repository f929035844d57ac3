#pragma once

#include <string>

// Where the program finds its own files and the user's: the program folder (signature
// databases, "Logs", "Quarintine"), the per-user settings file and the autostart folder.
// The application takes them from the platform at start-up; tests point them at a
// temporary folder so that they never touch the user's files.
namespace core {

// The program title: caption of message boxes and application name of the status counters.
inline constexpr const char* kProgramTitle = "Orvento Halvik";

// The program folder's two programs: the main window, and the companion alert program that the
// start-up entry starts (its name is the one the entry has always registered, on every system).
#ifdef _WIN32
inline constexpr const char* kMainProgram = "orvento-halvik.exe";
#else
inline constexpr const char* kMainProgram = "orvento-halvik";
#endif
inline constexpr const char* kCompanionProgram = "Sentrel.exe";

struct Locations {
  std::string programFolder;    // no trailing separator
  std::string settingsFile;     // the per-user settings store
  std::string autostartFolder;  // where the start-up entry is written
  std::string runtimeFolder;    // the session's locks; empty: the platform's default
};

// The locations the platform reports for this user and this executable.
Locations platformLocations();

// The locations in force; the platform's until setLocations is called.
const Locations& locations();
void setLocations(Locations locations);

// A file the program owns: the program folder followed by the separator and `name`
// ("scan.dll" gives "<program folder>/scan.dll").
std::string programFile(const std::string& name);

// The folder of the session's locks: locations().runtimeFolder, or the platform's default.
std::string runtimeFolder();

// A file of the runtime folder (the folder's last level is created when it is missing).
std::string runtimeFile(const std::string& name);

// True when `imagePath` names the program folder's program `name` (Windows: in any letter case).
bool isProgramFile(const std::string& imagePath, const std::string& name);

// True when `imagePath` is one of the program folder's own programs (the main program or the
// companion): the monitors never suspend them.
bool isOwnProgram(const std::string& imagePath);

}  // namespace core
