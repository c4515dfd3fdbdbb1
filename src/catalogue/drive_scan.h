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
    std::atomic<bool> stopRequested{false};  // polled before each folder is listed
    std::atomic<uint64_t> foldersDone{0};    // the gauge's position
    std::atomic<uint64_t> foldersTotal{0};   // the gauge's maximum, set once collected
};

// One found file: the left row (title), the right row (folder) and the path
// that the result lists' double-click and context actions use.
struct ScannedFile {
    std::string title;   // the file name as the normaliser gives it: what is stored
    std::string folder;  // the folder holding the file, no trailing '/' (the root as given)
    std::string path;    // folder + "/" + the file name as it is on disk
};

struct DriveScanParams {
    std::string driveRoot;  // the drive's mount point (or any folder taken as a drive)
    std::string ext = "Mp3";
    // File name -> title. The name matcher's NormalizeName; it lives with the
    // comparison, which depends on the catalogue, so the caller passes it in.
    // Unset: the title is the name as it stands.
    std::function<std::string(std::string_view)> normalize;
};

struct DriveScanResult {
    // The root as every row writes it: the given root without trailing '/'
    // ("/" stays "/"). This is the drive root that saving takes.
    std::string driveRoot;
    // Folders in ascending order ignoring ASCII letter case, a folder's files in
    // the same order within it.
    std::vector<ScannedFile> files;
    // Folders that could not be read, in the order met; what lies below a
    // folder the collection could not read is not searched.
    std::vector<std::string> foldersPassedOver;
    bool cancelled = false;  // stopped: `files` holds the folders listed before the stop
    std::string resultText;  // "N files found"
};

// Collects the folders under the root (the root included) that hold something
// named "*." + ext, sorts them, and lists the matching regular files of each
// (hidden names left out, as the folder listing does). A root that cannot be
// read gives no files and is named among the folders passed over. The caller
// clears control.stopRequested before the run; the collection of folders runs
// to its end, the stop is honoured between folders.
DriveScanResult ScanDrive(const DriveScanParams& params, DriveScanControl& control);

// "N files found".
std::string FormatFilesFound(size_t count);

// The (title, folder) pairs that saving stores, in scan order.
std::vector<FoundFile> FoundFilesOf(const std::vector<ScannedFile>& files);

}  // namespace mv
