#include "platform/posix/MountTable.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>

namespace halvik::platform::posix {
namespace {
// File systems on local disks and removable media (block-backed FUSE included), and those that
// hold the user's files on other machines. Pseudo file systems (proc, sysfs, tmpfs, cgroup...),
// read-only images (squashfs, erofs) and layered roots (overlay) are neither; nor is any type
// not named here.
constexpr std::array<std::string_view, 22> kDiskTypes = {"ext2",     "ext3",   "ext4",    "xfs",      "btrfs",
                                                         "bcachefs", "f2fs",   "jfs",     "reiserfs", "zfs",
                                                         "nilfs2",   "hfs",    "hfsplus", "ufs",      "vfat",
                                                         "msdos",    "exfat",  "ntfs",    "ntfs3",    "fuseblk",
                                                         "udf",      "iso9660"};
constexpr std::array<std::string_view, 11> kNetworkTypes = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "virtiofs", "ceph", "fuse.sshfs", "fuse.glusterfs", "fuse.rclone"};

template <std::size_t N>
bool isOneOf(const std::array<std::string_view, N>& types, std::string_view type) {
  return std::find(types.begin(), types.end(), type) != types.end();
}

struct Mount {
  std::string device;  // "major:minor"
  std::string root;    // the folder of the file system mounted here ("/": all of it)
  std::string type;
};

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

// The mount visible at each mount point (the last one mounted there); malformed lines are skipped.
std::map<std::string, Mount> visibleMounts(std::string_view mountinfo) {
  std::map<std::string, Mount> visible;
  std::size_t position = 0;
  while (position < mountinfo.size()) {
    const std::size_t end = std::min(mountinfo.find('\n', position), mountinfo.size());
    const auto fields = fieldsOf(mountinfo.substr(position, end - position));
    position = end + 1;
    // "id parent major:minor root mountpoint options [optional...] - type source superoptions"
    const auto separator = std::find(fields.begin(), fields.end(), "-");
    if (fields.size() < 5 || separator == fields.end() || std::next(separator) == fields.end()) continue;
    visible[decodeField(fields[4])] = {std::string(fields[2]), decodeField(fields[3]),
                                       std::string(*std::next(separator))};
  }
  return visible;
}

bool belowPseudoTree(const std::string& point) {
  for (const std::string_view tree : {"/proc", "/sys"})
    if (point.starts_with(tree) && (point.size() == tree.size() || point[tree.size()] == '/')) return true;
  return false;
}

bool isLocalType(std::string_view type) { return isOneOf(kDiskTypes, type) || type == "tmpfs" || type == "overlay"; }
}  // namespace

std::string readMountTable() {
  std::ifstream file("/proc/self/mountinfo", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> driveMountPoints(std::string_view mountinfo) {
  std::vector<std::string> points{"/"};
  for (const auto& [point, mount] : visibleMounts(mountinfo))
    if (point != "/" && (isOneOf(kDiskTypes, mount.type) || isOneOf(kNetworkTypes, mount.type)))
      points.push_back(point);
  std::sort(points.begin(), points.end());
  return points;
}

std::vector<std::string> localFileSystemMountPoints(std::string_view mountinfo) {
  std::map<std::string, std::pair<std::string, bool>> chosen;  // device -> mount point, mounts the root
  for (const auto& [point, mount] : visibleMounts(mountinfo)) {
    if (!isLocalType(mount.type) || belowPseudoTree(point)) continue;
    const bool whole = mount.root == "/";
    const auto [each, added] = chosen.try_emplace(mount.device, point, whole);
    const auto& [kept, keptWhole] = each->second;
    if (!added && ((whole && !keptWhole) || (whole == keptWhole && point.size() < kept.size())))
      each->second = {point, whole};
  }
  std::vector<std::string> points;
  for (const auto& [device, point] : chosen) points.push_back(point.first);
  std::sort(points.begin(), points.end());
  return points;
}

}  // namespace halvik::platform::posix
