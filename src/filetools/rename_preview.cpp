#include "filetools/rename_preview.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "filetools/rename_journal.h"

namespace mv {

const char* RenameStatusWord(RenameStatus status) {
    switch (status) {
        case RenameStatus::Renamed:
            return "rename";
        case RenameStatus::SameName:
            return "same";
        case RenameStatus::Unreadable:
            return "unreadable";
        case RenameStatus::NoTag:
            return "no-tag";
        case RenameStatus::NotAName:
            return "not-a-name";
        case RenameStatus::NameTaken:
            return "taken";
        case RenameStatus::Refused:
            return "refused";
    }
    return "";
}

std::string CountsText(const std::array<std::size_t, kRenameStatusCount>& counts) {
    std::string text;
    for (std::size_t k = 0; k < counts.size(); ++k) {
        if (counts[k] == 0) continue;
        text += (text.empty() ? "" : ", ") + std::to_string(counts[k]) + " " +
                RenameStatusWord(static_cast<RenameStatus>(k));
    }
    return text.empty() ? "no files" : text;
}

std::array<std::size_t, kRenameStatusCount> CountByStatus(const std::vector<RenameOutcome>& rows) {
    std::array<std::size_t, kRenameStatusCount> counts{};
    for (const RenameOutcome& row : rows) ++counts[static_cast<std::size_t>(row.status)];
    return counts;
}

RenamePreview PreviewRenameAll(const RenameAllParams& params) {
    RenamePreview preview;
    preview.params = params;
    preview.params.dryRun = false;
    RenameAllParams dry = params;
    dry.dryRun = true;
    RenameAllResult result = RenameAll(dry);
    preview.rows = std::move(result.outcomes);
    preview.foldersPassedOver = std::move(result.foldersPassedOver);
    preview.counts = CountByStatus(preview.rows);
    return preview;
}

RenameAllResult PerformPreview(const RenamePreview& preview) {
    RenameJournal* journal = preview.params.journal;
    RenameAllResult result;
    result.foldersPassedOver = preview.foldersPassedOver;
    result.outcomes = preview.rows;
    for (RenameOutcome& row : result.outcomes) {
        if (row.status != RenameStatus::Renamed) continue;
        const int error = RenameNoReplace(row.path, row.newPath);
        if (error == 0) {
            ++result.renamed;
            if (journal != nullptr) journal->Record(row.path, row.newPath);
        } else if (error == EEXIST) {
            row.status = RenameStatus::NameTaken;
            row.reason = "a file named \"" + row.newName + "\" appeared since the preview";
        } else if (error == ENOENT) {
            row.status = RenameStatus::Unreadable;
            row.reason = "the file is gone since the preview";
        } else {
            row.status = RenameStatus::Refused;
            row.reason =
                "the file system refused the name \"" + row.newName + "\": " + std::strerror(error);
        }
    }
    return result;
}

}  // namespace mv
