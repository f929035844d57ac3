#include "platform/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace halvik::platform {

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

int standardErrorColumns() {
  winsize size{};
  return ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

}  // namespace halvik::platform
