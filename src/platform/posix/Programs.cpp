#include "platform/Platform.h"

#include "platform/posix/Handle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace halvik::platform {

// Two forks: the program is started by a short-lived middle process, so that it is adopted by
// the system and never becomes a zombie of ours. Between fork and exec only async-signal-safe
// calls run. A pipe closed on exec tells whether the exec itself succeeded, or carries its error.
Status startProgram(const std::string& path, const std::vector<std::string>& arguments) {
  std::vector<std::string> words{path};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return Status::lastError();
  const posix::Handle readEnd(report[0]);
  posix::Handle writeEnd(report[1]);
  const pid_t middle = fork();
  if (middle < 0) return Status::lastError();
  if (middle == 0) {
    if (fork() == 0) {
      setsid();
      execv(argv[0], argv.data());
      const int error = errno;
      [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
      _exit(127);
    }
    _exit(0);
  }
  writeEnd.reset();
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t length;
  while ((length = read(readEnd.get(), &error, sizeof error)) < 0 && errno == EINTR) {
  }
  if (length == static_cast<ssize_t>(sizeof error)) return Status::failure(static_cast<std::uint32_t>(error));
  // The middle process did not end normally, or the report was cut short.
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || length != 0) return Status::failure(EAGAIN);
  return {};
}

Status replaceProgram(const std::string& path, const std::vector<std::string>& arguments) {
  std::vector<std::string> words = arguments;
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  execv(path.c_str(), argv.data());
  return Status::lastError();
}

bool raiseWindowsOf(std::uint32_t /*processId*/) { return false; }

}  // namespace halvik::platform
