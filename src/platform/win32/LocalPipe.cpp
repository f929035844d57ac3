#include "platform/LocalPipe.h"

#include "platform/Ascii.h"
#include "platform/Platform.h"
#include "platform/win32/Handle.h"
#include "platform/win32/UserSid.h"

#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace halvik::platform {
namespace {
constexpr DWORD kBufferBytes = 4096;

// Why a wait for an overlapped operation ended.
enum class Waited { Done, Failed, TimedOut, Stopped };

// The running user's identifier as text ("S-1-5-21-..."); empty when it cannot be read.
std::string userText() {
  std::vector<unsigned char> storage;
  PSID user = win32::processUser(GetCurrentProcess(), storage);
  char* text = nullptr;
  if (!user || !ConvertSidToStringSidA(user, &text)) return {};
  std::string result(text);
  LocalFree(text);
  return result;
}

std::string pipePath(const std::string& name) {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  return "\\\\.\\pipe\\" + name + "-" + userText() + "-" + std::to_string(session);
}

// Waits for the overlapped operation `io` on `file`, at most `timeoutMs` (INFINITE: no limit),
// and ends it early when `stop` (if any) is set; `bytes` receives what it moved.
Waited finish(HANDLE file, OVERLAPPED& io, HANDLE stop, DWORD timeoutMs, DWORD& bytes) {
  const HANDLE events[] = {io.hEvent, stop};
  const DWORD woken = WaitForMultipleObjects(stop ? 2 : 1, events, FALSE, timeoutMs);
  if (woken != WAIT_OBJECT_0) {
    CancelIoEx(file, &io);
    GetOverlappedResult(file, &io, &bytes, TRUE);
    return woken == WAIT_OBJECT_0 + 1 ? Waited::Stopped : Waited::TimedOut;
  }
  return GetOverlappedResult(file, &io, &bytes, FALSE) ? Waited::Done : Waited::Failed;
}

// Starts a read or write of `size` bytes at `data` and waits for it as `finish` does.
Waited transfer(HANDLE file, bool write, char* data, DWORD size, HANDLE stop, DWORD timeoutMs, DWORD& bytes) {
  OVERLAPPED io{};
  const win32::Handle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  io.hEvent = event.get();
  const BOOL started = write ? WriteFile(file, data, size, nullptr, &io) : ReadFile(file, data, size, nullptr, &io);
  if (!started && GetLastError() != ERROR_IO_PENDING) return Waited::Failed;
  return finish(file, io, stop, timeoutMs, bytes);
}

// The milliseconds left until `deadline`, none below zero.
DWORD left(std::chrono::steady_clock::time_point deadline) {
  const auto now = std::chrono::steady_clock::now();
  return now >= deadline ? 0 : static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count());
}

bool writeAll(HANDLE file, std::string_view bytes, HANDLE stop, std::chrono::steady_clock::time_point deadline) {
  std::string copy(bytes);
  for (std::size_t sent = 0; sent < copy.size();) {
    DWORD moved = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(copy.size() - sent, kBufferBytes));
    if (transfer(file, true, copy.data() + sent, chunk, stop, left(deadline), moved) != Waited::Done || moved == 0)
      return false;
    sent += moved;
  }
  return true;
}

// True when the server end of the connected pipe `pipe` is a process of the running user with
// the image `expectedImage`.
bool servedBy(HANDLE pipe, const std::string& expectedImage, ULONG& serverId) {
  if (!GetNamedPipeServerProcessId(pipe, &serverId)) return false;
  const win32::Handle server(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, serverId));
  std::vector<unsigned char> ours, theirs;
  PSID user = win32::processUser(GetCurrentProcess(), ours);
  PSID owner = server ? win32::processUser(server.get(), theirs) : nullptr;
  const auto image = processInfo(serverId);
  return user && owner && EqualSid(user, owner) && image && equalsIgnoringCase(image->imagePath, expectedImage);
}

// Opens the client end of `path`, waiting while every instance is busy. Null with the last
// error set when there is none.
HANDLE openClient(const std::string& path, std::chrono::steady_clock::time_point deadline) {
  while (true) {
    // Identification only: the server may tell who calls, never act as the caller.
    const HANDLE pipe = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return pipe;
    if (GetLastError() != ERROR_PIPE_BUSY || left(deadline) == 0) return nullptr;
    WaitNamedPipeA(path.c_str(), left(deadline));
  }
}
}  // namespace

PipeServer PipeServer::create(const std::string& name, Status* failure) {
  const std::string user = userText();
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  // A protected access list that lets the running user alone in.
  const std::string rule = "D:P(A;;GA;;;" + user + ")";
  if (user.empty() ||
      !ConvertStringSecurityDescriptorToSecurityDescriptorA(rule.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    if (failure) *failure = Status::lastError();
    return {};
  }
  SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
  win32::Handle pipe(CreateNamedPipeA(pipePath(name).c_str(),
                                      PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                      kBufferBytes, kBufferBytes, 0, &security));
  const DWORD error = GetLastError();
  LocalFree(descriptor);
  if (!pipe) {
    const bool taken = error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY;
    if (failure) *failure = Status::failure(taken ? kLockHeldElsewhere : error);
    return {};
  }
  win32::Handle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!stop) {
    if (failure) *failure = Status::lastError();
    return {};
  }
  return PipeServer(std::move(pipe), std::move(stop));
}

bool PipeServer::serveOne(const PipeAnswer& answer, int timeoutMs) const {
  const HANDLE pipe = win32::handleOf(m_pipe.value());
  const HANDLE stop = win32::handleOf(m_stop.value());
  OVERLAPPED io{};
  const win32::Handle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  io.hEvent = event.get();
  DWORD bytes = 0;
  if (!ConnectNamedPipe(pipe, &io)) {
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
      const Waited waited = finish(pipe, io, stop, INFINITE, bytes);
      if (waited == Waited::Stopped) return false;
    } else if (error != ERROR_PIPE_CONNECTED && error != ERROR_NO_DATA) {
      return false;
    }
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string received;
  char buffer[kBufferBytes];
  bool stopped = false;
  while (true) {
    const Waited waited = transfer(pipe, false, buffer, sizeof buffer, stop, left(deadline), bytes);
    stopped = waited == Waited::Stopped;
    if (waited != Waited::Done) break;
    received.append(buffer, bytes);
    const std::optional<std::string> reply = answer(received);
    if (!reply) continue;
    // The client reads the answer, then closes its end: only then may the connection go, since a
    // disconnection throws away what the client has not read yet.
    if (!reply->empty() && writeAll(pipe, *reply, stop, deadline))
      while (transfer(pipe, false, buffer, sizeof buffer, stop, left(deadline), bytes) == Waited::Done) {
      }
    break;
  }
  DisconnectNamedPipe(pipe);
  return !stopped && WaitForSingleObject(stop, 0) != WAIT_OBJECT_0;
}

void PipeServer::stop() const { SetEvent(win32::handleOf(m_stop.value())); }

Status callPipe(const std::string& name, const std::string& expectedImage, std::string_view request, char& answer,
                int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const win32::Handle pipe(openClient(pipePath(name), deadline));
  if (!pipe) return Status::lastError();
  ULONG serverId = 0;
  if (!servedBy(pipe.get(), expectedImage, serverId)) return Status::failure(kPermissionDenied);
  // The server comes to the front on its own request: this start lets it take the foreground.
  AllowSetForegroundWindow(serverId);
  DWORD bytes = 0;
  if (!writeAll(pipe.get(), request, nullptr, deadline)) return Status::lastError();
  if (transfer(pipe.get(), false, &answer, 1, nullptr, left(deadline), bytes) != Waited::Done || bytes != 1)
    return Status::failure(ERROR_TIMEOUT);
  return {};
}

}  // namespace halvik::platform
