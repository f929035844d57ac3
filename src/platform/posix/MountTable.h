#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halvik::platform::posix {

// The mount points of `mountinfo` (the text of /proc/self/mountinfo) that hold files a user
// keeps: local disk, removable and network file systems, not pseudo or image file systems.
// Escapes such as "\040" are decoded; each mount point comes once, judged by the file
// system mounted last on it (the one that is visible), in byte order. "/" always comes.
std::vector<std::string> driveMountPoints(std::string_view mountinfo);

}  // namespace halvik::platform::posix
