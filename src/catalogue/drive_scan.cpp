#include "catalogue/drive_scan.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/folder_listing.h"

namespace mv {
namespace {

// The folders that gave files, in LessIgnoringAsciiCase's order of their
// paths, each path folded once rather than at every comparison (a disk's
// paths share long beginnings). A folder sorts before its subfolders (a prefix
// comes first), so saving climbs only when the scan leaves a branch.
std::vector<size_t> FoldersInOrder(const std::vector<FolderWithFiles>& folders) {
    struct Key {
        std::string folded;
        size_t index;
    };
    std::vector<Key> keys;
    keys.reserve(folders.size());
    for (size_t k = 0; k < folders.size(); ++k) {
        if (!folders[k].files.empty()) keys.push_back({FoldAsciiCase(folders[k].folder), k});
    }
    std::sort(keys.begin(), keys.end(), [&folders](const Key& a, const Key& b) {
        if (a.folded != b.folded) return a.folded < b.folded;  // bytes compared unsigned
        return folders[a.index].folder < folders[b.index].folder;
    });
    std::vector<size_t> order;
    order.reserve(keys.size());
    for (const Key& key : keys) order.push_back(key.index);
    return order;
}

}  // namespace

std::string FormatFilesFound(size_t count) {
    return std::to_string(count) + " files found";
}

std::string DriveScanResult::PathOf(const ScannedFile& file) const {
    return JoinPath(FolderOf(file), file.name);
}

std::vector<FoundFile> FoundFilesOf(const DriveScanResult& scan) {
    std::vector<FoundFile> found;
    found.reserve(scan.files.size());
    for (const auto& file : scan.files) found.push_back({file.title, scan.FolderOf(file)});
    return found;
}

DriveScanResult ScanDrive(const DriveScanParams& params, DriveScanControl& control) {
    DriveScanResult result;
    result.driveRoot = TrimFolderPath(params.driveRoot);

    // One walk reads every folder once: the folders that hold something named
    // like a match, each with its matching regular files (a folder that holds
    // only such folders or hidden files gives none).
    FolderFilesCollection collected =
        CollectFolderFiles(result.driveRoot, params.ext,
                           {&control.stopRequested, &control.foldersDone, &control.foldersTotal});
    result.foldersPassedOver = std::move(collected.passedOver);
    result.cancelled = collected.stopped;

    auto& folders = collected.folders;
    const std::vector<size_t> order = FoldersInOrder(folders);
    size_t count = 0;
    for (size_t k : order) count += folders[k].files.size();
    result.files.reserve(count);
    result.folders.reserve(order.size());
    for (size_t k : order) {
        std::string& folder = folders[k].folder;
        std::vector<std::string>& names = folders[k].files;
        const size_t index = result.folders.size();
        result.folders.push_back(std::move(folder));
        for (std::string& name : names) {
            std::string title = params.normalize ? params.normalize(name) : name;
            result.files.push_back({std::move(title), std::move(name), index});
        }
        // Handing the list back as the rows grow keeps the peak lower.
        std::vector<std::string>().swap(names);
        std::vector<ListedFileId>().swap(folders[k].ids);
    }
    result.resultText = FormatFilesFound(result.files.size());
    return result;
}

}  // namespace mv
