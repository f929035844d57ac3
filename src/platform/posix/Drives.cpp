// The drives of the computer: mount points of local and network file systems.
#include "platform/Platform.h"
#include "platform/posix/MountTable.h"

#include <sys/stat.h>

namespace halvik::platform {

std::vector<std::string> drives() {
  std::vector<std::string> points = posix::driveMountPoints(posix::readMountTable());
  // A file bind-mounted over another file (as containers do for /etc/hosts) is no drive.
  std::erase_if(points, [](const std::string& point) {
    struct stat own;
    return stat(point.c_str(), &own) != 0 || !S_ISDIR(own.st_mode);
  });
  return points;
}

}  // namespace halvik::platform
