#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The list editor's import and rename of a CD: each changes the list the
// editor holds and writes it at once (atomically, see TMp3List::Save), so the
// file on disk and the tree the user sees agree afterwards. No dialogs: the
// window asks the questions and shows the messages.
namespace mv {

struct EditorSaveResult {
    bool saved = false;
    std::vector<std::string> lines;  // saved: the list as written
    // To show, in order: why nothing was written, or (saved) what was stored
    // otherwise than asked (titles left out, line breaks made blanks).
    std::vector<std::string> messages;
};

struct ImportCdParams {
    std::filesystem::path listFile;  // where the list is written
    std::vector<std::string> lines;  // the list as it stands; its header is ensured
    std::string name;                // the new CD's name, as typed
    std::filesystem::path csvFile;   // one column of paths relative to the CD's root
    // File name -> title (see CsvCdParams); unset: the name as it stands.
    std::function<std::string(std::string_view)> normalize;
};

// Appends the CD read from the CSV (see FoundFilesFromCsv). Refused, with
// nothing written: a name with a CdNameProblem or one a CD holds already
// (letter case ignored), a CSV that cannot be read or parsed, or one without paths.
EditorSaveResult ImportCsvCd(const ImportCdParams& params);

// Renames the CD whose marker stands at line `marker` (see RenameCdAt) and
// writes the list to `listFile`.
EditorSaveResult RenameCdAndSave(const std::filesystem::path& listFile,
                                 std::vector<std::string> lines, size_t marker,
                                 std::string_view newName);

}  // namespace mv
