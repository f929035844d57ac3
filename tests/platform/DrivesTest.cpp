#include "platform/Platform.h"
#include "platform/posix/MountTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace halvik::platform {

namespace {

TEST(DriveMountPoints, KeepsDiskAndNetworkFileSystemsOnly) {
  const std::string mountinfo =
      "26 1 254:0 / / rw,relatime shared:1 - overlay overlay rw,lowerdir=/a\n"
      "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
      "22 26 0:21 / /sys rw,relatime - sysfs sysfs rw\n"
      "23 26 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
      "30 22 0:27 / /sys/fs/cgroup rw,relatime - cgroup2 cgroup2 rw\n"
      "40 26 8:1 / /home rw,relatime shared:5 master:2 - ext4 /dev/sda1 rw\n"
      "41 26 8:17 / /media/usb\\040stick rw - vfat /dev/sdb1 rw\n"
      "42 26 0:50 / /mnt/share rw - nfs4 server:/export rw\n"
      "43 26 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
      "44 26 8:2 / /data rw - xfs /dev/sda2 rw\n"
      "45 26 0:51 / /data rw - tmpfs tmpfs rw\n"  // hides the xfs below it
      "46 26 8:3 / /backup rw - tmpfs tmpfs rw\n"
      "47 26 8:4 / /backup rw - btrfs /dev/sda3 rw\n"  // visible again
      "48 26 0:52 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
      "49 26 8:5 / /tab\\011and\\134slash rw - ext4 /dev/sda5 rw\n"
      "50 26 8:6 / /bad\\04 rw - ext4 /dev/sda6 rw\n"
      "malformed line\n"
      "51 26 8:7 / /nodash rw ext4 /dev/sda7 rw\n"
      "\n";
  const std::vector<std::string> expected{"/",          "/backup",         "/bad\\04", "/home", "/media/usb stick",
                                          "/mnt/share", "/tab\tand\\slash"};
  EXPECT_EQ(platform::posix::driveMountPoints(mountinfo), expected);
  EXPECT_EQ(platform::posix::driveMountPoints(""), std::vector<std::string>{"/"});
}

TEST(Drives, ListTheRootAndNoPseudoFileSystem) {
  const auto drives = platform::drives();
  EXPECT_EQ(std::count(drives.begin(), drives.end(), "/"), 1);
  EXPECT_EQ(std::set<std::string>(drives.begin(), drives.end()).size(), drives.size());
  for (const auto& drive : drives) {
    EXPECT_NE(drive.rfind("/proc", 0), 0u) << drive;
    EXPECT_NE(drive.rfind("/sys", 0), 0u) << drive;
    EXPECT_NE(drive, "/dev/shm");
    EXPECT_TRUE(platform::listFolder(drive, "*", platform::kFolder).has_value()) << drive;
  }
}

}  // namespace

}  // namespace halvik::platform
