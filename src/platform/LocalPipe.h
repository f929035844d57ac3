#pragma once

#include "platform/Status.h"
#include "platform/SystemHandle.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A pipe between the running user's own processes in one session, for a later start of a
// program to hand its request to the copy already running. Windows only (Linux has local
// sockets in the user's runtime folder). The system-wide pipe name is made of `name`, the
// user's identifier and the session's number, so that another user or session never meets it.
namespace halvik::platform {

// What a server makes of the bytes a client has sent so far: nullopt while it waits for more,
// otherwise the answer to write back (empty: none, the client is dropped).
using PipeAnswer = std::function<std::optional<std::string>(std::string_view received)>;

// The serving end. Made only as the first instance of its name, open to the running user
// alone and to no other machine: when the name is already taken (a running copy, or whoever
// squats it), creation fails with kLockHeldElsewhere. Move-only; the name is free again once
// the object is gone, or its process ends however it ends.
class PipeServer {
 public:
  PipeServer() = default;

  static PipeServer create(const std::string& name, Status* failure = nullptr);

  bool valid() const { return m_pipe.valid(); }

  // Waits for the next client and reads from it until `answer` has one, which is written back;
  // a client that sends nothing whole within `timeoutMs` is dropped. False once stop() was
  // called (from any thread), or when the pipe fails.
  bool serveOne(const PipeAnswer& answer, int timeoutMs) const;

  // Ends a serveOne under way, and every later one, at once.
  void stop() const;

 private:
  PipeServer(SystemHandle pipe, SystemHandle stop) : m_pipe(std::move(pipe)), m_stop(std::move(stop)) {}

  SystemHandle m_pipe;
  SystemHandle m_stop;  // an event: set when the server is to stop
};

// Sends `request` to the server of `name` and returns the one byte it answers. The server must
// be a process of the running user whose image is `expectedImage`: any other end is refused
// (kPermissionDenied) before a byte is sent, so that a process that took the name never
// receives a request. The server may then bring its window to the front. Gives up when no
// answer came within `timeoutMs`; kNotFound when no server has the name.
Status callPipe(const std::string& name, const std::string& expectedImage, std::string_view request, char& answer,
                int timeoutMs);

}  // namespace halvik::platform
