#include "platform/MachineFolder.h"

#include "platform/TrustedFolder.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {

bool elevated() { return geteuid() == 0; }

Status createMachineFolder(const std::string& path) {
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string level = path.substr(0, end);
    if (mkdir(level.c_str(), 0755) == 0) {
      // Whatever the umask: readable by all, writable by the owner alone.
      if (chmod(level.c_str(), 0755) != 0) return Status::lastError();
    } else if (errno != EEXIST) {
      return Status::lastError();
    }
    if (!isTrustedFolder(level)) return Status::failure(EPERM);
    if (end == std::string::npos) return {};
  }
}

}  // namespace halvik::platform
