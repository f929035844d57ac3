#pragma once

#include <optional>
#include <string>

// The program's own files and folders, named from the folders of platform::environment(): the
// program folder (signature databases, the companion program) and the data folder ("Logs",
// "Quarintine").
namespace halvik::core {

// The program title: caption of message boxes and application name of the status counters.
inline constexpr const char* kProgramTitle = "Orvento Halvik";

// The program folder's two programs: the main window, and the companion alert program that the
// start-up entry starts (its name is the one the entry has always registered, on every system).
#ifdef _WIN32
inline constexpr const char* kMainProgram = "orvento-halvik.exe";
#else
inline constexpr const char* kMainProgram = "orvento-halvik";
#endif
// The program that shows the window. On Linux the main program is a front that runs the terminal
// commands without loading any window library and runs this one, beside it, when a window is
// wanted; on Windows, whose build links Qt statically, one program does both.
#ifdef _WIN32
inline constexpr const char* kWindowProgram = kMainProgram;
#else
inline constexpr const char* kWindowProgram = "orvento-halvik-window";
#endif
// With ".exe" on every system: start-up entries already written name this file, so it keeps that name.
inline constexpr const char* kCompanionProgram = "Sentrel.exe";

// A file the program owns: the program folder followed by the separator and `name`
// ("scan.dll" gives "<program folder>/scan.dll").
std::string programFile(const std::string& name);

// A folder the program writes ("Logs", "Quarintine"): the data folder followed by the separator
// and `name`.
std::string dataSubfolder(const std::string& name);

// Creates dataSubfolder(name). In the program folder one level is made, as the program always
// did; a per-user data folder is made with the levels above it, open to the user only. True
// when the folder exists afterwards and is the user's own (platform::isPrivate): a folder that
// someone else owns or may write is never used.
bool createDataSubfolder(const std::string& name);

// Where signature updates are kept: the user's own ("Signatures" in the data folder), and the
// one made for every user (the environment's machine-wide folder).
std::string userSignaturesFolder();
std::string machineSignaturesFolder();

// The first of the data folder and its "Logs", "Quarintine" and "Signatures" folders that is
// there but is not the user's own; nullopt when each is the user's own or missing.
std::optional<std::string> foreignDataFolder();

// The folder our own runtime files go to when the session's is not private.
inline constexpr const char* kPrivateRuntimeFolder = "runtime";

// The folder of the session's locks: the environment's runtime folder, or the platform's default,
// when it is a folder of the running user that nobody else may enter (mode 0700); otherwise the
// folder kPrivateRuntimeFolder beside the settings file (on Windows in the data folder).
std::string runtimeFolder();

// A file of the runtime folder (the folder is created, open to the user only, when it is missing).
std::string runtimeFile(const std::string& name);

// True when `imagePath` names the program folder's program `name` (Windows: in any letter case).
bool isProgramFile(const std::string& imagePath, const std::string& name);

// True when `imagePath` is one of the program folder's own programs (the main program, the window
// program or the companion): the monitors never suspend them.
bool isOwnProgram(const std::string& imagePath);

}  // namespace halvik::core
