#pragma once

#include <cstdint>
#include <string>

namespace halvik::platform {

// What became of an operation on the system: success, or the system's reason for a failure,
// its error code (errno on POSIX, GetLastError on Windows) with the system's text for it.
// True on success, so that `if (!platform::copyFile(...))` reads as before.
class Status {
 public:
  Status() = default;  // success

  // A failure for the system's error `code` (never 0).
  static Status failure(std::uint32_t code);
  // A failure for the error the system reported for the call that just failed.
  static Status lastError();

  explicit operator bool() const { return m_code == 0; }
  bool ok() const { return m_code == 0; }
  std::uint32_t code() const { return m_code; }
  // The system's description of the error, in the system's 8-bit encoding; empty on success.
  const std::string& text() const { return m_text; }

 private:
  std::uint32_t m_code = 0;
  std::string m_text;
};

// The system's codes for failures the platform layer finds itself rather than hears from the
// system: a process that has ended or is no longer the one judged (ESRCH; on Windows
// ERROR_PROCESS_ABORTED), and a refusal (EPERM; ERROR_ACCESS_DENIED). A lock that someone else
// holds reads as kLockHeldElsewhere (EWOULDBLOCK; ERROR_SHARING_VIOLATION).
extern const std::uint32_t kNoSuchProcess;
extern const std::uint32_t kPermissionDenied;
extern const std::uint32_t kLockHeldElsewhere;

}  // namespace halvik::platform
