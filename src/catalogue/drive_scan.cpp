#include "catalogue/drive_scan.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/folder_listing.h"

namespace mv {

std::string FormatFilesFound(size_t count) {
    return std::to_string(count) + " files found";
}

std::vector<FoundFile> FoundFilesOf(const std::vector<ScannedFile>& files) {
    std::vector<FoundFile> found;
    found.reserve(files.size());
    for (const auto& file : files) found.push_back({file.title, file.folder});
    return found;
}

DriveScanResult ScanDrive(const DriveScanParams& params, DriveScanControl& control) {
    DriveScanResult result;
    result.driveRoot = TrimFolderPath(params.driveRoot);

    FolderCollection collected = CollectFolders(result.driveRoot, params.ext);
    result.foldersPassedOver = std::move(collected.passedOver);
    std::vector<std::string>& folders = collected.folders;
    // A folder sorts before its subfolders (a prefix comes first), so saving
    // climbs only when the scan leaves a branch.
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        return LessIgnoringAsciiCase(a, b);
    });
    control.foldersTotal = folders.size();

    for (const std::string& folder : folders) {
        if (control.stopRequested) {
            result.cancelled = true;
            break;
        }
        // The collection also counts folders and hidden files named like a
        // match; only the listing tells whether the folder has files to give.
        const auto names = ListFolderFiles(folder, params.ext);
        if (!names) {
            result.foldersPassedOver.push_back(folder);
        } else {
            for (const std::string& name : *names) {
                result.files.push_back({params.normalize ? params.normalize(name) : name, folder,
                                        JoinPath(folder, name)});
            }
        }
        ++control.foldersDone;
    }
    result.resultText = FormatFilesFound(result.files.size());
    return result;
}

}  // namespace mv
