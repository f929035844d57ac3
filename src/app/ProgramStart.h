#pragma once

#include "app/CommandLine.h"

#include <functional>
#include <string>
#include <vector>

// How both programs start: the main program (the command-line front, which loads no window
// library) and the window program. The terminal commands run here; a request for the window,
// once its paths are checked, goes to `window`.
namespace halvik::app {

// Shows the window for `request`, the folders given made absolute; the result is the exit status.
using WindowStart = std::function<int(const Request& request, const std::vector<std::string>& folders)>;

// Reads the command line `argc`/`argv` and runs what it asks. The result is the exit status.
int runCommandLine(int argc, char* argv[], const WindowStart& window);

}  // namespace halvik::app
