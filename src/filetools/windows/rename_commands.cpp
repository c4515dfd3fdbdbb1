#include "filetools/windows/rename_commands.h"

#include <QStringList>
#include <algorithm>
#include <string_view>

#include "filetools/rename_journal.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

// Line by line, so one name in Windows-1252 does not spoil the UTF-8 of the others.
QString DisplayLines(std::string_view text) {
    QStringList lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        lines << DisplayText(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines.join(QLatin1Char('\n'));
}

// The undo's message lists this many files, then a count of the rest.
constexpr std::size_t kUndoLinesShown = 8;

std::string UndoSummary(const mv::UndoResult& undo) {
    std::string text = std::to_string(undo.restored) + " of " + std::to_string(undo.rows.size()) +
                       " files renamed back.";
    const std::size_t shown = std::min(undo.rows.size(), kUndoLinesShown);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + mv::UndoLine(undo.rows[i]);
    if (undo.rows.size() > shown) {
        text += "\n... and " + std::to_string(undo.rows.size() - shown) + " more.";
    }
    if (!undo.error.empty()) text += "\n" + undo.error;
    return text;
}

std::string JournalTrouble(const mv::RenameJournal& journal) {
    return journal.error().empty() ? "" : journal.error() + " (no undo for this batch)";
}

}  // namespace

RenameCommands::RenameCommands(QWidget* window, Dialogs& dialogs, RenameHooks hooks,
                               QObject* parent)
    : QObject(parent), window_(window), dialogs_(dialogs), hooks_(std::move(hooks)) {}

bool RenameCommands::AskModel() {
    const std::optional<QString> typed =
        dialogs_.InputText(window_, DisplayText("Naming model"),
                           DisplayText("What will be your naming model?"), DisplayText(model_));
    if (!typed) return false;
    model_ = TypedBytes(*typed);
    return true;
}

mv::NamingOptions RenameCommands::Naming() const {
    return hooks_.naming ? hooks_.naming() : mv::NamingOptions{};
}

void RenameCommands::bRenameClick() {
    outcomes_.clear();
    const std::string file = hooks_.selectedFile();
    // The model is used as typed: the new name has an extension only when the model gives one.
    if (!file.empty() && AskModel()) {
        const mv::RenameOutcome outcome = mv::RenameFromModel(file, model_, Naming());
        if (outcome.status == mv::RenameStatus::Renamed && !hooks_.journalFile.empty()) {
            mv::RenameJournal journal(hooks_.journalFile);
            journal.Record(outcome.path, outcome.newPath);
            const std::string trouble = JournalTrouble(journal);
            if (!trouble.empty()) dialogs_.Information(window_, DisplayText(trouble));
        }
        outcomes_.push_back(outcome);
    }
    hooks_.purgePlaylist();
}

std::optional<mv::RenameAllParams> RenameCommands::AskRenameAll() {
    if (!AskModel()) return std::nullopt;
    mv::RenameAllParams params;
    params.recurse = dialogs_.YesNo(
        window_, DisplayText("Do you wish to include sub directories in your selection?"),
        DefaultAnswer::Cautious);
    params.root = hooks_.browserFolder();
    params.ext = hooks_.extension();
    params.model = model_;
    params.naming = Naming();
    // Each folder is opened in the browser and its file list renamed in list order.
    params.listFiles = hooks_.openFolder;
    if (params.root.empty()) return std::nullopt;
    return params;
}

void RenameCommands::bRenameAllClick() {
    outcomes_.clear();
    std::string summary;
    if (std::optional<mv::RenameAllParams> params = AskRenameAll()) {
        std::optional<mv::RenameJournal> journal;
        if (!hooks_.journalFile.empty()) params->journal = &journal.emplace(hooks_.journalFile);
        const mv::RenamePreview preview = mv::PreviewRenameAll(*params);
        // With nothing to rename the table would only repeat the closing message.
        const bool anything = preview.counts[static_cast<int>(mv::RenameStatus::Renamed)] > 0;
        if (!anything || !hooks_.confirmPreview || hooks_.confirmPreview(preview)) {
            mv::RenameAllResult result = mv::PerformPreview(preview);
            summary = mv::RenameAllSummary(result);
            if (journal && !JournalTrouble(*journal).empty()) {
                summary += "\n" + JournalTrouble(*journal);
            }
            outcomes_ = std::move(result.outcomes);
        }
    }
    hooks_.purgePlaylist();
    // Last, so the playlist is already purged while the user reads it.
    if (!summary.empty()) dialogs_.Information(window_, DisplayLines(summary));
}

bool RenameCommands::CanUndo() const {
    if (hooks_.journalFile.empty()) return false;
    for (const mv::JournalBatch& batch : mv::ReadRenameJournal(hooks_.journalFile)) {
        if (!batch.undone && !batch.renames.empty()) return true;
    }
    return false;
}

void RenameCommands::tmiUndoRenameClick() {
    if (hooks_.journalFile.empty()) return;
    const mv::UndoResult undo = mv::UndoLastRenameBatch(hooks_.journalFile);
    if (hooks_.refreshBrowser) hooks_.refreshBrowser();
    hooks_.purgePlaylist();
    const std::string text =
        undo.found ? UndoSummary(undo) : std::string("There is no batch of renames left to undo.");
    dialogs_.Information(window_, DisplayLines(text));
}

}  // namespace mv
