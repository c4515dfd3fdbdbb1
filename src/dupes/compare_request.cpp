#include "dupes/compare_request.h"

#include <new>
#include <utility>

#include "platform/text_lines.h"

namespace mv {

CompareRequest BuildCompareRequest(CompareChoice choice) {
    CompareRequest request;
    switch (choice.command) {
        case CompareCommand::FolderVsItself:
            request.mode = kModeFolderVsItself;
            break;
        case CompareCommand::FolderVsList:
            request.mode = kModeFolderVsList;
            break;
        case CompareCommand::SearchList:
            request.mode = kModeSearchList;
            request.percentText = std::to_string(kPercentEverySecondWord);
            request.searchText = std::move(choice.searchText);
            return request;
        case CompareCommand::BanScan:
            request.mode = kModeFolderVsList;
            request.listLines = std::move(choice.banLines);
            break;
    }
    request.percentText =
        choice.command == CompareCommand::BanScan ? kBanPercent : std::move(choice.percentText);
    if (choice.withSubfolders) {
        request.walkRoot = std::move(choice.folder);
    } else {
        request.folders = {std::move(choice.folder)};
    }
    return request;
}

CompareParams ParamsForRequest(CompareRequest request, const std::string& ext,
                               const FolderWalkHooks& walk) {
    CompareParams params;
    params.mode = request.mode;
    params.ext = ext;
    params.percentText = std::move(request.percentText);
    params.searchText = std::move(request.searchText);
    params.listLines = std::move(request.listLines);
    if (request.walkRoot) {
        // One walk reads each folder once: its subfolders and its files.
        FolderFilesCollection collected = CollectFolderFiles(*request.walkRoot, ext, walk);
        params.listedFolders = std::move(collected.folders);
        params.foldersPassedOver = std::move(collected.passedOver);
    } else {
        params.folders = std::move(request.folders);
    }
    return params;
}

ListForRun ReadListForRun(const std::filesystem::path& listFile) {
    ListForRun list;
    try {
        ReadLinesResult read = ReadLinesWithStatus(listFile);
        if (read.status == ReadStatus::Unreadable) {
            list.refused = true;
            list.message = std::move(read.message);
        } else if (read.status == ReadStatus::Read) {
            list.lines = std::move(read.lines);
        }
    } catch (const std::bad_alloc&) {
        list.refused = true;
        list.message = kOutOfMemoryMessage;
        list.lines.reset();
    }
    return list;
}

}  // namespace mv
