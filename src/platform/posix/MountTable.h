#pragma once

#include <string>
#include <string_view>
#include <vector>

// The mount table as /proc/self/mountinfo gives it.
namespace halvik::platform::posix {

// The text of /proc/self/mountinfo; empty when it cannot be read.
std::string readMountTable();

// The mount points of `mountinfo` (the text of /proc/self/mountinfo) that hold files a user
// keeps: local disk, removable and network file systems, not pseudo or image file systems.
// Escapes such as "\040" are decoded; each mount point comes once, judged by the file
// system mounted last on it (the one that is visible), in byte order. "/" always comes.
std::vector<std::string> driveMountPoints(std::string_view mountinfo);

// The mount points of the local file systems of `mountinfo` a watch of whole file systems
// covers: disks (block-backed FUSE included), tmpfs and overlay, each file system (device) once,
// at the mount of its own root where it has one, else at its shortest visible mount point; in
// byte order. Left out: pseudo file systems (proc, sysfs, cgroup, devpts, devtmpfs...) and
// whatever is mounted below /proc or /sys, network file systems (their files change on other
// machines, out of sight), other FUSE file systems (a user process answers for them) and
// read-only images. A mount point hidden by a later mount on it does not count.
std::vector<std::string> localFileSystemMountPoints(std::string_view mountinfo);

}  // namespace halvik::platform::posix
