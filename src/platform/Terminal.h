#pragma once

// The terminal the program may be writing to.
namespace halvik::platform {

// True when standard error is a terminal (a console on Windows).
bool standardErrorIsTerminal();

// The width in columns of the terminal on standard error; 80 when it does not say.
int standardErrorColumns();

}  // namespace halvik::platform
