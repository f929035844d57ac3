#include "app/WindowProgram.h"

#include "app/CommandLine.h"
#include "core/Locations.h"
#include "platform/Platform.h"

#include <iostream>

namespace halvik::app {

int runWindowProgram(const std::vector<std::string>& arguments) {
  const std::string program = core::programFile(core::kWindowProgram);
  const platform::Status status = platform::replaceProgram(program, arguments);
  std::cerr << message("la fen\u00EAtre ne peut pas s'ouvrir : " + program + " : " + status.text()) << '\n';
  return kUsageOrRunError;
}

}  // namespace halvik::app
