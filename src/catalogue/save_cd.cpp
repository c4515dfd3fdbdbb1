#include "catalogue/save_cd.h"

namespace fs = std::filesystem;

namespace mv {
namespace {

SaveCdResult Failed(std::string message) {
    SaveCdResult result;
    result.outcome = SaveCdOutcome::Failed;
    result.messages.push_back(std::move(message));
    return result;
}

}  // namespace

ListForSave OpenListForSave(const fs::path& listPath) {
    ListForSave opened;
    opened.path = listPath;
    // The reason comes from the same read, so it cannot tell of another file.
    const ReadLinesResult read = opened.list.LoadReporting(listPath);
    if (read.status == ListLoadStatus::Unreadable) {
        opened.message = read.message + " It is left as it is, and nothing is saved to it.";
        return opened;
    }
    opened.list.EnsureHeader();
    return opened;
}

SaveCdResult SaveCd(ListForSave& opened, const SaveCdParams& params) {
    if (!opened.message.empty()) return Failed(opened.message);
    if (params.name.empty()) return Failed("A CD needs a name; nothing is saved.");

    // Work on a copy: the caller's list changes only when the file does.
    TMp3List list = opened.list;
    const long existing = list.FindCd(params.name);
    if (existing >= 0) {
        if (!params.replace) {
            SaveCdResult result;
            result.outcome = SaveCdOutcome::NameTaken;
            return result;
        }
        list.DeleteCd(static_cast<size_t>(existing));
    }
    if (params.files.empty()) {
        SaveCdResult result;
        result.outcome = SaveCdOutcome::NothingFound;
        return result;
    }

    const CdBlockResult block = list.AppendCd(params.name, params.driveRoot, params.files);
    if (!block.error.empty()) return Failed(block.error + " Nothing is saved.");
    if (block.titleCount == 0) {
        return Failed("None of the " + std::to_string(params.files.size()) +
                      " titles can be stored in the list; nothing is saved.");
    }

    SaveCdResult result;
    if (!block.titlesPassedOver.empty()) {
        std::string text = std::to_string(block.titlesPassedOver.size()) +
                           " titles would read back as something else and are left out:";
        for (const auto& title : block.titlesPassedOver) text += "\n\"" + title + "\"";
        result.messages.push_back(std::move(text));
    }
    if (block.lineBreaksReplaced) {
        result.messages.push_back(
            "Line breaks in the CD name, a folder name or a title are stored as blanks.");
    }
    const std::string failure = list.Save(opened.path);
    if (!failure.empty()) return Failed(failure);

    opened.list = std::move(list);
    result.outcome = SaveCdOutcome::Saved;
    result.titleCount = block.titleCount;
    return result;
}

}  // namespace mv
