#include "platform/SystemText.h"

#include "platform/Status.h"

#include <cerrno>
#include <cstring>

namespace halvik::platform {

const std::uint32_t kNoSuchProcess = ESRCH;
const std::uint32_t kPermissionDenied = EPERM;
const std::uint32_t kLockHeldElsewhere = EWOULDBLOCK;

std::string systemText(const std::string& utf8) { return utf8; }

std::size_t rootLength(const std::string& path) { return !path.empty() && path[0] == '/' ? 1 : 0; }

std::string errorText(std::uint32_t code) {
  char buffer[256];
  // The GNU strerror_r: returns the text, which may or may not be in the buffer.
  return strerror_r(static_cast<int>(code), buffer, sizeof buffer);
}

std::uint32_t lastErrorCode() { return errno != 0 ? static_cast<std::uint32_t>(errno) : EIO; }

}  // namespace halvik::platform
