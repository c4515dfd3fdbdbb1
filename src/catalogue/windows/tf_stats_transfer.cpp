// The list editor's Export..., Import... and Rename CD...: the catalogue to
// and from other programs, through the core the tool uses too.
#include <QPushButton>
#include <filesystem>

#include "catalogue/catalogue_transfer.h"
#include "catalogue/editor_transfer.h"
#include "catalogue/windows/tf_stats.h"
#include "dupes/name_matcher.h"
#include "platform/text_lines.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

void TfStats::ShowMessages(const std::vector<std::string>& messages) {
    // One box each, as the drive scan's save shows them.
    for (const std::string& message : messages) dialogs_.Information(this, DisplayText(message));
}

void TfStats::bExportClick() {
    if (!open_) return;
    const std::optional<QString> chosen =
        dialogs_.SaveFile(this, DisplayText("Export the Mp3 list"), QString(),
                          DisplayText("CSV files (*.csv);;JSON files (*.json);;All files (*)"));
    if (!chosen || chosen->isEmpty()) return;
    std::filesystem::path path(TypedBytes(*chosen));
    if (path.extension().empty()) path += ".csv";
    // The copy as the window shows it, pending edits included.
    TMp3List list;
    list.SetLines(copy_.Lines());
    const std::string error =
        WriteLinesAtomically(path, CatalogueExportLines(list, CatalogueFormatOf(path)));
    if (!error.empty()) dialogs_.Information(this, DisplayText(error));
}

void TfStats::bImportClick() {
    if (!open_) return;
    const std::optional<QString> csv =
        dialogs_.OpenFile(this, DisplayText("Import a CD from a CSV file"), QString(),
                          DisplayText("CSV files (*.csv);;All files (*)"));
    if (!csv || csv->isEmpty()) return;
    const std::optional<QString> name = dialogs_.InputText(
        this, DisplayText("Import a CD"), DisplayText("Name of the new CD:"), QString());
    if (!name || !MaySaveEdits()) return;
    ImportCdParams params;
    params.listFile = openedFile_;
    params.lines = copy_.Lines();
    params.name = TypedBytes(*name);
    params.csvFile = TypedBytes(*csv);
    params.normalize = [](std::string_view n) { return NormalizeName(std::string(n)); };
    EditorSaveResult result = ImportCsvCd(params);
    ShowMessages(result.messages);
    if (!result.saved) return;
    TMp3List saved;
    saved.SetLines(result.lines);
    const long marker = saved.FindCd(params.name);
    TakeSavedList(std::move(result.lines), marker < 0 ? 0 : static_cast<size_t>(marker));
}

void TfStats::bRenameCdClick() {
    if (!open_) return;
    const uint32_t node = SelectedNode();
    if (node == ListTree::kNone || !copy_.Tree().IsCd(node)) {
        dialogs_.Information(this, DisplayText("Select the CD to rename in the tree first."));
        return;
    }
    const size_t marker = copy_.Tree().Node(node).line;
    const std::string oldName(NodeName(copy_.Lines(), copy_.Tree().Node(node)));
    const std::optional<QString> name = dialogs_.InputText(
        this, DisplayText("Rename CD"), DisplayText("New name of the CD:"), DisplayText(oldName));
    if (!name || TypedBytes(*name) == oldName || !MaySaveEdits()) return;
    EditorSaveResult result =
        RenameCdAndSave(openedFile_, copy_.Lines(), marker, TypedBytes(*name));
    if (!result.saved) {
        ShowMessages(result.messages);
        return;
    }
    TakeSavedList(std::move(result.lines), marker);
}

}  // namespace mv
