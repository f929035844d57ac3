#pragma once

#include <string>

// The companion's ways into the main program of the same program folder.
namespace halvik::companion::MainProgram {

// The main program's path: the program folder's "orvento-halvik" ("orvento-halvik.exe" on Windows).
std::string path();

// Brings a running main window to the front; starts the main program when none runs or it cannot
// be raised.
bool open();

// Starts the main program on its monitor page ("--page 2").
bool openMonitorPage();

// Starts the main program on a custom scan of `folder`.
bool scanFolder(const std::string& folder);

}  // namespace halvik::companion::MainProgram
