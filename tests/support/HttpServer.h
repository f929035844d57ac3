#pragma once

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace halvik::testing_support {

// Python's http.server serving `folder` on 127.0.0.1, on a port the system picks, for the life of
// the object. Ready once constructed: the constructor reads the server's own "Serving HTTP on"
// line, written once it listens, so nothing waits by the clock.
class HttpServer {
 public:
  explicit HttpServer(const std::string& folder) {
    int output[2];
    if (pipe(output) != 0) throw std::runtime_error("pipe failed");
    m_pid = fork();
    if (m_pid == 0) {
      dup2(output[1], STDOUT_FILENO);
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, STDERR_FILENO);
      close(output[0]);
      execlp("python3", "python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", folder.c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(output[1]);
    m_output = fdopen(output[0], "r");
    char line[256] = {};
    unsigned port = 0;
    if (m_pid < 0 || !m_output || !std::fgets(line, sizeof line, m_output) ||
        std::sscanf(line, "Serving HTTP on 127.0.0.1 port %u", &port) != 1) {
      stop();
      throw std::runtime_error("the HTTP server did not start");
    }
    m_url = "http://127.0.0.1:" + std::to_string(port) + "/";
  }
  ~HttpServer() { stop(); }
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // "http://127.0.0.1:<port>/": the folder's files are below it.
  const std::string& url() const { return m_url; }

 private:
  void stop() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
      m_pid = 0;
    }
    if (m_output) std::fclose(m_output);
    m_output = nullptr;
  }

  pid_t m_pid = 0;
  FILE* m_output = nullptr;
  std::string m_url;
};

}  // namespace halvik::testing_support
