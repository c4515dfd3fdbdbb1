#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/cd_block.h"
#include "catalogue/mp3_list.h"

// Saving the found files of a drive scan as a CD of the Mp3 list, in two steps
// so that the window can ask its questions in between:
//   1. OpenListForSave: load the list (absent: empty) and ensure its header;
//      stop when it carries a message (the list exists but cannot be read);
//   2. the caller asks the CD name and, when opened.list.FindCd(name) >= 0,
//      whether to overwrite that CD;
//   3. SaveCd: remove the old CD when agreed, append the new one, write the file.
// No dialogs: the caller shows the messages.
namespace mv {

struct ListForSave {
    std::filesystem::path path;
    TMp3List list;  // as loaded, header ensured; empty (header only) when absent
    // Not empty when the file exists but cannot be read: it names the file and
    // the cause, and SaveCd then refuses, so the catalogue is never replaced.
    std::string message;
};

ListForSave OpenListForSave(const std::filesystem::path& listPath);

struct SaveCdParams {
    std::string name;       // as typed, not trimmed; letter case kept as typed
    std::string driveRoot;  // the scan's driveRoot
    std::vector<FoundFile> files;
    // The user agreed to overwrite the CD of the same name (FindCd's rule); without
    // it an existing name is left alone and nothing is written.
    bool replace = false;
};

enum class SaveCdOutcome {
    Saved,         // the CD stands at the end of the list and the file is written
    NothingFound,  // no found files: nothing written, nothing to say
    NameTaken,     // a CD of that name exists and replace was not given: nothing written
    Failed,        // nothing written; the messages say why
};

struct SaveCdResult {
    SaveCdOutcome outcome = SaveCdOutcome::Failed;
    size_t titleCount = 0;  // titles stored
    // To show, in order: why nothing was written (Failed), or what was stored
    // otherwise than found (Saved: titles left out, line breaks made blanks).
    std::vector<std::string> messages;
};

// Changes `opened.list` only when it then writes it; the file is replaced
// atomically, or left as it was with the cause in the messages.
SaveCdResult SaveCd(ListForSave& opened, const SaveCdParams& params);

}  // namespace mv
