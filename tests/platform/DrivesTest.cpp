#include "platform/FolderWatch.h"
#include "platform/Platform.h"
#include "platform/posix/MountTable.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/mount.h>

namespace halvik::platform {

namespace {
using testing_support::TempFolder;

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

TEST(LocalFileSystemMountPoints, KeepEachLocalDiskTmpfsAndOverlayOnceAndNothingRemoteOrPseudo) {
  const std::string mountinfo =
      "26 1 0:40 / / rw shared:1 - overlay overlay rw,lowerdir=/a\n"
      "21 26 0:20 / /proc rw - proc proc rw\n"
      "22 26 0:21 / /sys rw - sysfs sysfs rw\n"
      "23 26 0:6 / /dev rw - devtmpfs devtmpfs rw\n"
      "25 23 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
      "29 25 0:27 / /dev/shm rw - tmpfs tmpfs rw\n"  // hides the first one
      "30 22 0:28 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
      "31 30 0:29 / /sys/fs/cgroup/cpu rw - cgroup cgroup rw,cpu\n"
      "40 26 8:1 / /home rw master:2 - ext4 /dev/sda1 rw\n"
      "41 26 8:1 /alice/work /srv/work rw - ext4 /dev/sda1 rw\n"  // a bind mount of /home's file system
      "42 26 8:2 /data /mnt/d rw - xfs /dev/sda2 rw\n"
      "43 26 8:2 /data/sub /a rw - xfs /dev/sda2 rw\n"  // the same file system below its root: the shortest point
      "44 26 0:50 / /mnt/share rw - nfs4 server:/export rw\n"
      "45 26 0:51 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
      "47 26 8:17 / /media/usb\\040stick rw - fuseblk /dev/sdb1 rw\n"
      "48 26 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
      "49 26 0:53 / /run/user/1000 rw - tmpfs tmpfs rw\n";
  const std::vector<std::string> expected{"/", "/a", "/dev/shm", "/home", "/media/usb stick", "/run/user/1000"};
  EXPECT_EQ(platform::posix::localFileSystemMountPoints(mountinfo), expected);
  EXPECT_TRUE(platform::posix::localFileSystemMountPoints("").empty());
}

// As root, where the system grants a watch of whole file systems, a tmpfs mounted now is one of
// them and a default folder of the watch, whole; elsewhere there are none.
TEST(WatchableFileSystems, ATmpfsMountedNowIsWatchedWholeByDefault) {
  const TempFolder folder;
  const std::string point = folder / "tmpfs";
  std::filesystem::create_directory(point);
  if (!FolderWatch::openFileSystems().valid()) {
    EXPECT_TRUE(platform::watchableFileSystems().empty());
    GTEST_SKIP() << "the system grants no watch of whole file systems here (fanotify needs root)";
  }
  ASSERT_EQ(mount("none", point.c_str(), "tmpfs", 0, nullptr), 0);
  const auto watchable = platform::watchableFileSystems();
  const auto defaults = platform::defaultWatchFolders();
  umount2(point.c_str(), MNT_DETACH);
  EXPECT_NE(std::find(watchable.begin(), watchable.end(), point), watchable.end());
  ASSERT_EQ(defaults.size(), watchable.size());
  for (std::size_t i = 0; i < defaults.size(); ++i) {
    EXPECT_EQ(defaults[i].path, watchable[i]);
    EXPECT_TRUE(defaults[i].fileSystem && defaults[i].subfolders);
  }
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
