#include "catalogue/editor_transfer.h"

#include "catalogue/catalogue_transfer.h"
#include "catalogue/mp3_list.h"
#include "catalogue/save_cd.h"
#include "platform/text_lines.h"

namespace mv {

namespace {

EditorSaveResult Refused(std::string message) {
    EditorSaveResult result;
    result.messages.push_back(std::move(message));
    return result;
}

}  // namespace

EditorSaveResult ImportCsvCd(const ImportCdParams& params) {
    if (std::string problem = CdNameProblem(params.name); !problem.empty()) {
        return Refused(std::move(problem));
    }
    ListForSave opened{params.listFile, {}, {}};
    opened.list.SetLines(params.lines);
    opened.list.EnsureHeader();
    if (opened.list.FindCd(params.name) >= 0) {
        return Refused("A CD named \"" + params.name + "\" is already in the list.");
    }
    const ReadLinesResult csv = ReadLinesWithStatus(params.csvFile);
    if (csv.status != ReadStatus::Read) {
        return Refused(csv.message.empty() ? "No such file: " + params.csvFile.string()
                                           : csv.message);
    }
    const CsvCdResult parsed = FoundFilesFromCsv({csv.lines, params.normalize});
    if (!parsed.error.empty()) {
        return Refused(params.csvFile.string() + ": " + parsed.error + " Nothing is saved.");
    }
    const SaveCdResult saved = SaveCd(opened, {params.name, "/", parsed.files, false});
    EditorSaveResult result;
    result.messages = saved.messages;
    switch (saved.outcome) {
        case SaveCdOutcome::Saved:
            result.saved = true;
            result.lines = opened.list.Lines();
            break;
        case SaveCdOutcome::NothingFound:
            result.messages.push_back("No paths in " + params.csvFile.string() +
                                      "; nothing is saved.");
            break;
        case SaveCdOutcome::NameTaken:
        case SaveCdOutcome::Failed:
            if (result.messages.empty()) result.messages.push_back("Nothing is saved.");
            break;
    }
    return result;
}

EditorSaveResult RenameCdAndSave(const std::filesystem::path& listFile,
                                 std::vector<std::string> lines, size_t marker,
                                 std::string_view newName) {
    TMp3List list;
    list.SetLines(std::move(lines));
    const RenameCdResult renamed = RenameCdAt(list, marker, newName);
    if (!renamed.renamed) return Refused(renamed.error);
    if (std::string failure = list.Save(listFile); !failure.empty()) {
        return Refused(std::move(failure));
    }
    EditorSaveResult result;
    result.saved = true;
    result.lines = list.Lines();
    return result;
}

}  // namespace mv
