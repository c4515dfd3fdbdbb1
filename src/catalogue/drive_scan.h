#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/cd_block.h"

// The drive scan: every file of a drive whose name ends in "." + the extension,
// with the title it would be stored under, ready to be saved as a CD. No
// widgets: the caller shows the rows and the counts.
namespace mv {

// Shared between the thread that runs the scan and the one that shows it.
struct DriveScanControl {
    std::atomic<bool> stopRequested{false};  // polled before each folder is read
    std::atomic<uint64_t> foldersDone{0};    // the gauge's position: folders read
    // The gauge's maximum: folders met so far, read or waiting to be read. It
    // grows while the walk finds more, and equals foldersDone once it is complete.
    std::atomic<uint64_t> foldersTotal{0};
};

// One found file. The left row shows its title, the right row its folder; the
// path is what the result lists' double-click and context actions use. The
// folder is kept once for all its files: a disk's scan holds hundreds of
// thousands of rows.
struct ScannedFile {
    std::string title;  // the file name as the normaliser gives it: what is stored
    std::string name;   // the file name as it is on disk
    size_t folder = 0;  // index into DriveScanResult::folders
};

struct DriveScanParams {
    std::string driveRoot;  // the drive's mount point (or any folder taken as a drive)
    std::string ext = "Mp3";
    // File name -> title. The name matcher's NormalizeName; it lives with the
    // comparison, which depends on the catalogue, so the caller passes it in.
    // Unset: the title is the name as it stands. Called on the scanning thread.
    std::function<std::string(std::string_view)> normalize;
};

struct DriveScanResult {
    // The root as every row writes it: the given root without trailing '/'
    // ("/" stays "/"). This is the drive root that saving takes.
    std::string driveRoot;
    // The folders that gave files, in ascending order ignoring ASCII letter
    // case, each without a trailing '/' (the root as driveRoot writes it).
    std::vector<std::string> folders;
    // Folder by folder in that order, a folder's files in the same order.
    std::vector<ScannedFile> files;
    // Folders that could not be read, in the order met; what lies below a
    // folder that could not be read is not searched.
    std::vector<std::string> foldersPassedOver;
    // Files and folders whose names the list cannot hold as they stand (see
    // IsStorableName), left out of `files` with all a folder holds; as paths,
    // in scan order, a folder once.
    std::vector<std::string> namesPassedOver;
    bool cancelled = false;  // stopped: `files` holds what the folders read before gave
    std::string resultText;  // "N files found"

    const std::string& FolderOf(const ScannedFile& file) const { return folders[file.folder]; }
    std::string PathOf(const ScannedFile& file) const;  // folder + "/" + name
};

// Collects the folders under the root (the root included) that hold something
// named "*." + ext, sorts them, and lists the matching regular files of each
// (hidden names left out), reading each folder once. A root that cannot be
// read gives no files and is named among the folders passed over. The caller
// clears control.stopRequested before the run; it is polled before each folder
// is read. Meanwhile foldersDone counts the folders read and foldersTotal
// those met so far, so the gauge's maximum grows while the walk finds more.
// Names the list cannot hold give no rows and are named in namesPassedOver.
DriveScanResult ScanDrive(const DriveScanParams& params, DriveScanControl& control);

// "N files found".
std::string FormatFilesFound(size_t count);

// The (title, folder) pairs that saving stores, in scan order.
std::vector<FoundFile> FoundFilesOf(const DriveScanResult& scan);

}  // namespace mv
