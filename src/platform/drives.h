#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The drives the user can pick: the mounted file systems, pseudo file systems
// left out. A drive's root is its mount point.
namespace mv {

enum class DriveType { Fixed, CdRom, Other };

struct Drive {
    std::string root;    // mount point, e.g. "/" or "/media/cdrom"
    std::string source;  // device or source, e.g. "/dev/sr0"
    std::string fsType;  // e.g. "ext4", "iso9660"
    DriveType type = DriveType::Other;
};

// Behind an interface so tests can supply temporary folders as drives.
class DriveList {
  public:
    virtual ~DriveList() = default;
    virtual std::vector<Drive> Drives() const = 0;
};

// The system's drives, read from /proc/self/mountinfo at each call.
std::unique_ptr<DriveList> MakeSystemDriveList();

// Folders given as drives, for end-to-end tests and portable use:
// "TYPE=PATH" entries separated by ';', TYPE one of cdrom, fixed, other
// (MP3VANDREL_DRIVES="cdrom=/srv/discs/1;fixed=/srv/music"). nullptr when the
// text holds an entry that is not of that form.
std::unique_ptr<DriveList> MakeGivenDriveList(std::string_view given);

// Parses mountinfo text. `isRemovable` tells, for a block device source such
// as "/dev/sdb1", whether its disk is removable.
std::vector<Drive> ParseMountInfo(std::string_view text,
                                  bool (*isRemovable)(const std::string& source));

// The drive whose root holds `path` (the longest matching mount point); nullptr if none.
const Drive* DriveOf(const std::vector<Drive>& drives, const std::string& path);

}  // namespace mv
