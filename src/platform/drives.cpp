#include "platform/drives.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace mv {

namespace {

// Network file systems hold real files the user may want to compare.
bool IsNetworkFs(std::string_view fs) {
    static constexpr std::array<std::string_view, 12> kNetwork = {
        "nfs",  "nfs4", "cifs",       "smb3",        "smbfs",          "9p",
        "ceph", "afs",  "fuse.sshfs", "fuse.rclone", "fuse.glusterfs", "davfs"};
    return std::find(kNetwork.begin(), kNetwork.end(), fs) != kNetwork.end();
}

// Disk file systems whose source is not a /dev path (a pool or dataset name).
bool IsPoolFs(std::string_view fs) {
    return fs == "zfs";
}

// Read-only package images (snaps and the like), never the user's music.
bool IsImageFs(std::string_view fs) {
    return fs == "squashfs";
}

bool IsCdFs(std::string_view fs) {
    return fs == "iso9660" || fs == "udf";
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// The kernel writes blanks, tabs, newlines and backslashes in mount points as
// a backslash and three octal digits.
std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t k = 0; k < field.size(); ++k) {
        if (field[k] == '\\' && k + 3 < field.size()) {
            const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
            if (isOctal(field[k + 1]) && isOctal(field[k + 2]) && isOctal(field[k + 3])) {
                out += static_cast<char>(((field[k + 1] - '0') << 6) | ((field[k + 2] - '0') << 3) |
                                         (field[k + 3] - '0'));
                k += 3;
                continue;
            }
        }
        out += field[k];
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t k = 0;
    while (k < line.size()) {
        while (k < line.size() && line[k] == ' ') ++k;
        const size_t start = k;
        while (k < line.size() && line[k] != ' ') ++k;
        if (k > start) fields.push_back(line.substr(start, k - start));
    }
    return fields;
}

// One mountinfo line: "id parent major:minor root mountpoint options [optional...] - fstype
// source superoptions". False for a line that does not have that shape.
bool ParseLine(std::string_view line, Drive& drive) {
    const auto fields = SplitFields(line);
    if (fields.size() < 7) return false;
    size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (dash + 2 >= fields.size()) return false;
    drive.root = Unescape(fields[4]);
    drive.fsType = std::string(fields[dash + 1]);
    drive.source = Unescape(fields[dash + 2]);
    return !drive.root.empty() && drive.root.front() == '/';
}

bool SysfsRemovable(const std::string& source) {
    std::error_code ec;
    // /dev/mapper/x and /dev/disk/by-*/x are links to the kernel's device name.
    const auto dev = std::filesystem::canonical(source, ec);
    if (ec) return false;
    auto node = std::filesystem::canonical("/sys/class/block" / dev.filename(), ec);
    if (ec) return false;
    // A partition's flag lives on its disk, the parent folder in sysfs.
    if (std::filesystem::exists(node / "partition", ec)) node = node.parent_path();
    std::ifstream in(node / "removable");
    int flag = 0;
    return (in >> flag) && flag != 0;
}

class SystemDriveList : public DriveList {
  public:
    std::vector<Drive> Drives() const override {
        std::ifstream in("/proc/self/mountinfo", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        auto drives = ParseMountInfo(text.str(), &SysfsRemovable);
        // A bind mount of a single file (containers do this) is no drive.
        std::erase_if(drives, [](const Drive& d) {
            std::error_code ec;
            return !std::filesystem::is_directory(d.root, ec);
        });
        return drives;
    }
};

}  // namespace

std::vector<Drive> ParseMountInfo(std::string_view text,
                                  bool (*isRemovable)(const std::string& source)) {
    std::vector<Drive> drives;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        Drive d;
        if (ParseLine(text.substr(start, end - start), d)) {
            const bool blockDevice = StartsWith(d.source, "/dev/") || IsPoolFs(d.fsType);
            const bool keep =
                d.root == "/" || IsNetworkFs(d.fsType) || (blockDevice && !IsImageFs(d.fsType));
            if (keep) {
                if (IsCdFs(d.fsType) || StartsWith(d.source, "/dev/sr")) {
                    d.type = DriveType::CdRom;
                } else if (blockDevice && !(isRemovable != nullptr && isRemovable(d.source))) {
                    d.type = DriveType::Fixed;
                } else {
                    d.type = DriveType::Other;
                }
                // A later mount on the same point hides the earlier one.
                std::erase_if(drives, [&](const Drive& o) { return o.root == d.root; });
                drives.push_back(std::move(d));
            }
        }
        start = end + 1;
    }
    return drives;
}

const Drive* DriveOf(const std::vector<Drive>& drives, const std::string& path) {
    const Drive* best = nullptr;
    for (const auto& d : drives) {
        const bool holds = d.root == "/" ? StartsWith(path, "/")
                                         : path == d.root || StartsWith(path, d.root + "/");
        if (holds && (best == nullptr || d.root.size() > best->root.size())) best = &d;
    }
    return best;
}

std::unique_ptr<DriveList> MakeSystemDriveList() {
    return std::make_unique<SystemDriveList>();
}

namespace {

class GivenDriveList : public DriveList {
  public:
    explicit GivenDriveList(std::vector<Drive> drives) : drives_(std::move(drives)) {}
    std::vector<Drive> Drives() const override { return drives_; }

  private:
    std::vector<Drive> drives_;
};

}  // namespace

std::unique_ptr<DriveList> MakeGivenDriveList(std::string_view given) {
    std::vector<Drive> drives;
    while (!given.empty()) {
        const size_t end = std::min(given.find(';'), given.size());
        const std::string_view entry = given.substr(0, end);
        given.remove_prefix(std::min(end + 1, given.size()));
        if (entry.empty()) continue;
        const size_t eq = entry.find('=');
        if (eq == std::string_view::npos || eq + 1 >= entry.size() || entry[eq + 1] != '/') {
            return nullptr;
        }
        const std::string_view type = entry.substr(0, eq);
        Drive drive;
        drive.root = std::string(entry.substr(eq + 1));
        while (drive.root.size() > 1 && drive.root.back() == '/') drive.root.pop_back();
        drive.source = drive.root;
        if (type == "cdrom") {
            drive.type = DriveType::CdRom;
            drive.fsType = "iso9660";
        } else if (type == "fixed") {
            drive.type = DriveType::Fixed;
            drive.fsType = "ext4";
        } else if (type == "other") {
            drive.type = DriveType::Other;
        } else {
            return nullptr;
        }
        drives.push_back(std::move(drive));
    }
    return std::make_unique<GivenDriveList>(std::move(drives));
}

}  // namespace mv
