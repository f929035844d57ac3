// orvento-halvik on Linux: the terminal commands with no window library loaded, and the window
// program, run in its place, when a window is wanted.
#include "app/ProgramStart.h"
#include "app/WindowProgram.h"

namespace halvik::app {

int run(int argc, char* argv[]) {
  return runCommandLine(argc, argv, [argc, argv](const Request&, const std::vector<std::string>&) {
    return runWindowProgram(std::vector<std::string>(argv, argv + argc));
  });
}

}  // namespace halvik::app

int main(int argc, char* argv[]) { return halvik::app::run(argc, argv); }
