// The drives of the directory choosers, read from /proc/mounts.
#include <gtest/gtest.h>

#include "gui/dialogs/Mounts.h"

namespace fc::gui {
namespace {

using Points = std::vector<std::string>;

TEST(MountsTest, KeepsTheRootAndStorageFileSystemsOnly) {
  const char* mounts =
      "proc /proc proc rw 0 0\n"
      "/dev/sdb1 /mnt/data ext4 rw 0 0\n"
      "tmpfs /dev/shm tmpfs rw 0 0\n"
      "overlay / overlay rw 0 0\n"
      "cgroup /sys/fs/cgroup/cpu cgroup rw 0 0\n"
      "server:/export /net/share nfs4 rw 0 0\n"
      "/dev/sdc1 /run/media/op/USB vfat rw 0 0\n"
      "/dev/sde1 /run/credentials ext4 rw 0 0\n"
      "/dev/sdb1 /mnt/data ext4 rw 0 0\n"
      "/dev/sdd1 /media/My\\040Disk ntfs rw 0 0\n"
      "broken\n";
  EXPECT_EQ(BrowsableMounts(mounts), (Points{"/", "/media/My Disk", "/mnt/data", "/net/share", "/run/media/op/USB"}));
  EXPECT_EQ(BrowsableMounts(""), Points{"/"});
}

TEST(MountsTest, PathBelongsToItsLongestMountByWholeNames) {
  const Points mounts{"/", "/mnt/data", "/mnt/data/archive"};
  EXPECT_EQ(MountOf("/mnt/data/archive/2008", mounts), "/mnt/data/archive");
  EXPECT_EQ(MountOf("/mnt/data", mounts), "/mnt/data");
  EXPECT_EQ(MountOf("/mnt/database", mounts), "/");
  EXPECT_EQ(MountOf("relative/dir", mounts), "");
  EXPECT_EQ(MountOf("D:/报送/2008", {"C:/", "D:/"}), "D:/");
}

TEST(MountsTest, ThisSystemHasAtLeastItsRoot) {
  const Points mounts = ReadBrowsableMounts();
  ASSERT_FALSE(mounts.empty());
  EXPECT_EQ(mounts.front(), "/");
}

}  // namespace
}  // namespace fc::gui
