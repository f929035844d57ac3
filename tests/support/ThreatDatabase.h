#pragma once

#include "core/Locations.h"
#include "core/Settings.h"
#include "engine/SignatureDb.h"
#include "platform/Ascii.h"
#include "support/TestEnvironment.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace halvik::testing_support {

// Writes the databases of the program folder (under TestEnvironment) with the given file name
// and threat name pairs, makes them current, and switches the activity log on.
inline void writeReferenceDatabase(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string text = "[Scanfiles]\r\n";
  for (const auto& [name, threat] : entries) text += platform::upperCase(name) + "=" + threat + "\r\n";
  writeFile(core::programFile(engine::kReferenceDatabase), text);
  writeFile(core::programFile(engine::kScanDatabase), text);
  engine::reloadSignatures();
  core::settings::write(core::settings::Key::LogFile, "1");
}

// Every message of the activity log so far, without the time stamps, oldest first.
inline std::vector<std::string> logMessages() {
  std::vector<std::string> messages;
  std::error_code error;
  for (std::filesystem::directory_iterator it(core::programFile("Logs"), error), end; !error && it != end;
       it.increment(error)) {
    std::istringstream lines(readFile(it->path().string()));
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto stamp = line.find("] ");
      messages.push_back(stamp == std::string::npos ? line : line.substr(stamp + 2));
    }
  }
  return messages;
}

inline long countOf(const std::vector<std::string>& messages, const std::string& message) {
  return std::count(messages.begin(), messages.end(), message);
}

// A file name no other program on the machine runs under: the tests' database entries.
inline std::string uniqueName(const std::string& stem) { return stem + "-" + std::to_string(getpid()) + ".bin"; }

#ifndef _WIN32
// Runs `body` in a forked copy of the test and returns its exit code, or -1 when the copy stopped
// itself (it is then killed): checks that the program never suspends its own process.
template <typename Body>
int exitCodeInChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, WUNTRACED) != pid) return -2;
  if (WIFSTOPPED(status)) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}
#endif

}  // namespace halvik::testing_support
