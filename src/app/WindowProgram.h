#pragma once

#include <string>
#include <vector>

namespace halvik::app {

// Runs the program folder's window program in place of this one with `arguments`, the command
// line as this program got it (its name first), so that the window sees what a start of the
// window program itself would. Returns only when it could not be run: the exit status then,
// after a French line on standard error.
int runWindowProgram(const std::vector<std::string>& arguments);

}  // namespace halvik::app
