#include "catalogue/drive_scan.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/folder_listing.h"

namespace mv {

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
    // A folder sorts before its subfolders (a prefix comes first), so saving
    // climbs only when the scan leaves a branch.
    std::sort(folders.begin(), folders.end(),
              [](const FolderWithFiles& a, const FolderWithFiles& b) {
                  return LessIgnoringAsciiCase(a.folder, b.folder);
              });
    size_t count = 0;
    for (const auto& f : folders) count += f.files.size();
    result.files.reserve(count);
    for (auto& [folder, names] : folders) {
        if (names.empty()) continue;
        const size_t index = result.folders.size();
        result.folders.push_back(std::move(folder));
        for (std::string& name : names) {
            std::string title = params.normalize ? params.normalize(name) : name;
            result.files.push_back({std::move(title), std::move(name), index});
        }
        // Handing the list back as the rows grow keeps the peak lower.
        std::vector<std::string>().swap(names);
    }
    result.resultText = FormatFilesFound(result.files.size());
    return result;
}

}  // namespace mv
