#include "platform/drives.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

bool NothingRemovable(const std::string&) {
    return false;
}
bool SdbRemovable(const std::string& source) {
    return source.rfind("/dev/sdb", 0) == 0;
}

std::vector<std::string> Roots(const std::vector<Drive>& drives) {
    std::vector<std::string> roots;
    for (const auto& d : drives) roots.push_back(d.root);
    return roots;
}

// A desktop machine: pseudo file systems, a system disk, a USB stick, a CD, a
// loop-mounted image, a network share and a snap package.
constexpr std::string_view kDesktop =
    "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
    "22 26 0:21 / /sys rw,relatime shared:7 - sysfs sysfs rw\n"
    "23 26 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw,mode=755\n"
    "24 23 0:22 / /dev/shm rw - tmpfs tmpfs rw\n"
    "25 23 0:23 / /dev/pts rw - devpts devpts rw,mode=600\n"
    "26 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "27 26 8:3 / /home rw,relatime shared:2 master:1 - btrfs /dev/sda3 rw\n"
    "31 30 0:28 / /sys/fs/cgroup/cpu rw - cgroup cgroup rw,cpu\n"
    "40 26 0:40 / /run/user/1000 rw - tmpfs tmpfs rw\n"
    "41 40 0:41 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
    "50 26 8:17 / /media/me/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
    "51 26 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
    "52 26 11:1 / /media/dvd ro - udf /dev/sr1 ro\n"
    "53 26 7:0 / /mnt/image ro - iso9660 /dev/loop0 ro\n"
    "54 26 0:50 / /mnt/share rw - cifs //nas/music rw\n"
    "55 26 7:1 / /snap/core/1 ro - squashfs /dev/loop1 ro\n"
    "56 26 0:51 / /srv/pool rw - zfs tank/music rw\n"
    "57 26 0:52 / /mnt/weird\\134name\\011x rw - ext4 /dev/sda4 rw";

TEST(ParseMountInfo, KeepsRealAndNetworkFileSystemsOnly) {
    const auto drives = ParseMountInfo(kDesktop, &SdbRemovable);
    EXPECT_EQ(Roots(drives), (std::vector<std::string>{
                                 "/", "/home", "/media/me/MY STICK", "/media/cdrom", "/media/dvd",
                                 "/mnt/image", "/mnt/share", "/srv/pool", "/mnt/weird\\name\tx"}));
}

TEST(ParseMountInfo, ClassifiesDriveTypes) {
    const auto drives = ParseMountInfo(kDesktop, &SdbRemovable);
    auto typeOf = [&](const std::string& root) {
        for (const auto& d : drives)
            if (d.root == root) return d.type;
        ADD_FAILURE() << "no drive " << root;
        return DriveType::Other;
    };
    EXPECT_EQ(typeOf("/"), DriveType::Fixed);
    EXPECT_EQ(typeOf("/home"), DriveType::Fixed);
    EXPECT_EQ(typeOf("/media/me/MY STICK"), DriveType::Other);  // removable
    EXPECT_EQ(typeOf("/media/cdrom"), DriveType::CdRom);
    EXPECT_EQ(typeOf("/media/dvd"), DriveType::CdRom);
    EXPECT_EQ(typeOf("/mnt/image"), DriveType::CdRom);  // by file system
    EXPECT_EQ(typeOf("/mnt/share"), DriveType::Other);  // network
    EXPECT_EQ(typeOf("/srv/pool"), DriveType::Fixed);

    const auto cd = ParseMountInfo(kDesktop, &NothingRemovable)[3];
    EXPECT_EQ(cd.source, "/dev/sr0");
    EXPECT_EQ(cd.fsType, "iso9660");
}

TEST(ParseMountInfo, OddInput) {
    // A CD drive holding a disc of another file system is still a CD drive.
    auto drives = ParseMountInfo("1 0 11:0 / /media/cd ro - vfat /dev/sr0 ro\n", nullptr);
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].type, DriveType::CdRom);

    // A container's root is an overlay: kept so the browser has a drive to start on.
    drives = ParseMountInfo(
        "1 0 0:5 / / rw - overlay overlay rw\n2 1 0:6 / /proc rw - proc proc rw", nullptr);
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].type, DriveType::Other);

    // Later mounts over the same point replace the earlier; broken lines are ignored.
    drives = ParseMountInfo(
        "1 0 8:1 / /mnt rw - ext4 /dev/sda1 rw\n"
        "garbage\n"
        "2 0 8:2 / /x rw no-dash-here ext4 /dev/sda2\n"
        "\n"
        "3 0 11:0 / /mnt ro - iso9660 /dev/sr0 ro\r\n",
        nullptr);
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].type, DriveType::CdRom);
    EXPECT_EQ(drives[0].root, "/mnt");
}

TEST(DriveOf, LongestMountPointOnWholeComponents) {
    const std::vector<Drive> drives = {
        {"/", "/dev/sda2", "ext4", DriveType::Fixed},
        {"/media/cd", "/dev/sr0", "iso9660", DriveType::CdRom},
        {"/media/cdrom", "/dev/sr1", "iso9660", DriveType::CdRom},
    };
    EXPECT_EQ(DriveOf(drives, "/media/cdrom/Rock/a.mp3")->source, "/dev/sr1");
    EXPECT_EQ(DriveOf(drives, "/media/cd")->source, "/dev/sr0");
    EXPECT_EQ(DriveOf(drives, "/media/cdx/a.mp3")->source, "/dev/sda2");
    EXPECT_EQ(DriveOf(drives, "relative/path"), nullptr);
    EXPECT_EQ(DriveOf({}, "/"), nullptr);
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST(GivenDrives, EntriesBecomeDrivesOfTheirTypeAndBadTextIsRefused) {
    const auto list = MakeGivenDriveList("cdrom=/tmp/cd1/;fixed=/srv/music;;other=/");
    ASSERT_NE(list, nullptr);
    const auto drives = list->Drives();
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].root, "/tmp/cd1");
    EXPECT_EQ(drives[0].type, DriveType::CdRom);
    EXPECT_EQ(drives[1].type, DriveType::Fixed);
    EXPECT_EQ(drives[2].root, "/");
    for (const char* bad : {"cdrom", "floppy=/a", "cdrom=relative", "fixed="}) {
        EXPECT_EQ(MakeGivenDriveList(bad), nullptr) << bad;
    }
}

}  // namespace
}  // namespace mv
