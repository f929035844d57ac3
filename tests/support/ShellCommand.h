#pragma once

#include "support/TempFolder.h"

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace halvik::testing_support {

// What a command run through the shell gave: its exit status and its two streams.
struct CommandOutcome {
  int status = -1;
  std::string out;
  std::string err;
};

// `text` quoted for the shell.
inline std::string shellQuoted(const std::string& text) {
  std::string result = "'";
  for (const char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

// Runs `command` through the shell, its standard error going to the file `errFile`.
inline CommandOutcome runCommand(const std::string& command, const std::string& errFile) {
  CommandOutcome outcome;
  FILE* pipe = popen((command + " 2>" + shellQuoted(errFile)).c_str(), "r");
  if (!pipe) return outcome;
  char buffer[4096];
  for (std::size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.out.append(buffer, read);
  const int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.err = readFile(errFile);
  return outcome;
}

}  // namespace halvik::testing_support
