#include "catalogue/drive_scan.h"

#include <algorithm>
#include <unordered_set>

#include "catalogue/catalogue_names.h"
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

// Appends the rows of one folder; names the list cannot hold are named instead.
// The folder is kept only when a file of it gives a row.
void TakeFiles(FolderWithFiles& listed, const DriveScanParams& params, DriveScanResult& result) {
    const size_t index = result.folders.size();
    for (std::string& name : listed.files) {
        if (!IsStorableName(name)) {
            result.namesPassedOver.push_back(JoinPath(listed.folder, name));
            continue;
        }
        std::string title = params.normalize ? params.normalize(name) : name;
        result.files.push_back({std::move(title), std::move(name), index});
    }
    if (!result.files.empty() && result.files.back().folder == index) {
        result.folders.push_back(std::move(listed.folder));
    }
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
    // A folder whose name cannot be stored is named once, however many of the
    // folders below it give files.
    std::unordered_set<std::string> foldersLeftOut;
    for (size_t k : order) {
        if (std::string part = UnstorableFolderPart(result.driveRoot, folders[k].folder);
            !part.empty()) {
            if (foldersLeftOut.insert(part).second) result.namesPassedOver.push_back(part);
        } else {
            TakeFiles(folders[k], params, result);
        }
        // Handing the list back as the rows grow keeps the peak lower.
        std::vector<std::string>().swap(folders[k].files);
        std::vector<ListedFileId>().swap(folders[k].ids);
    }
    result.resultText = FormatFilesFound(result.files.size());
    return result;
}

}  // namespace mv
