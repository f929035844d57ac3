// The drives of the computer: mount points of local and network file systems.
#include "platform/Platform.h"
#include "platform/posix/MountTable.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/stat.h>

namespace halvik::platform {
namespace posix {
namespace {
// File systems that hold a user's files: disks, removable media, network shares. Pseudo file
// systems (proc, sysfs, tmpfs, cgroup...), read-only images (squashfs, erofs) and layered
// container roots (overlay) are left out; so is any type not named here.
constexpr std::array<std::string_view, 33> kDriveTypes = {
    "ext2",       "ext3", "ext4",   "xfs",     "btrfs",    "bcachefs", "f2fs",       "jfs",
    "reiserfs",   "zfs",  "nilfs2", "hfs",     "hfsplus",  "ufs",      "vfat",       "msdos",
    "exfat",      "ntfs", "ntfs3",  "fuseblk", "udf",      "iso9660",  "nfs",        "nfs4",
    "cifs",       "smb3", "smbfs",  "9p",      "virtiofs", "ceph",     "fuse.sshfs", "fuse.glusterfs",
    "fuse.rclone"};

bool isDriveType(std::string_view type) {
  return std::find(kDriveTypes.begin(), kDriveTypes.end(), type) != kDriveTypes.end();
}

// Undoes the octal escapes of mountinfo fields ("\040" space, "\011" tab, "\012" line feed, "\134" backslash).
std::string decodeField(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto isOctal = [&](std::size_t at) { return at < field.size() && field[at] >= '0' && field[at] <= '7'; };
    if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
      text.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
      i += 3;
    } else {
      text.push_back(field[i]);
    }
  }
  return text;
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t position = 0;
  while ((position = line.find_first_not_of(' ', position)) != std::string_view::npos) {
    const std::size_t end = std::min(line.find(' ', position), line.size());
    fields.push_back(line.substr(position, end - position));
    position = end;
  }
  return fields;
}
}  // namespace

std::vector<std::string> driveMountPoints(std::string_view mountinfo) {
  std::map<std::string, bool> visible{{"/", true}};  // mount point -> holds a drive
  std::size_t position = 0;
  while (position < mountinfo.size()) {
    const std::size_t end = std::min(mountinfo.find('\n', position), mountinfo.size());
    const auto fields = fieldsOf(mountinfo.substr(position, end - position));
    position = end + 1;
    // "id parent major:minor root mountpoint options [optional...] - type source superoptions"
    const auto separator = std::find(fields.begin(), fields.end(), "-");
    if (fields.size() < 5 || separator == fields.end() || std::next(separator) == fields.end()) continue;
    const std::string mountPoint = decodeField(fields[4]);
    if (mountPoint != "/") visible[mountPoint] = isDriveType(*std::next(separator));
  }
  std::vector<std::string> points;
  for (const auto& [point, drive] : visible)
    if (drive) points.push_back(point);
  return points;
}

}  // namespace posix

std::vector<std::string> drives() {
  std::ifstream file("/proc/self/mountinfo", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::vector<std::string> points = posix::driveMountPoints(text);
  // A file bind-mounted over another file (as containers do for /etc/hosts) is no drive.
  std::erase_if(points, [](const std::string& point) {
    struct stat own;
    return stat(point.c_str(), &own) != 0 || !S_ISDIR(own.st_mode);
  });
  return points;
}

}  // namespace halvik::platform
