#pragma once

#include <string>
#include <vector>

#include "platform/drives.h"

namespace mv::test {

// Temporary folders standing in for the mounted drives.
class FolderDrives : public DriveList {
  public:
    FolderDrives() = default;
    explicit FolderDrives(std::vector<std::string> drives) : roots(std::move(drives)) {}

    std::vector<std::string> roots;
    DriveType type = DriveType::Fixed;

    std::vector<Drive> Drives() const override {
        std::vector<Drive> drives;
        for (const std::string& r : roots) drives.push_back({r, "/dev/test", "ext4", type});
        return drives;
    }
};

}  // namespace mv::test
