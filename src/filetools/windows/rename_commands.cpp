#include "filetools/windows/rename_commands.h"

#include <QStringList>
#include <string_view>

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

void RenameCommands::bRenameClick() {
    outcomes_.clear();
    const std::string file = hooks_.selectedFile();
    // The model is used as typed: the new name has an extension only when the model gives one.
    if (!file.empty() && AskModel()) outcomes_.push_back(mv::RenameFromModel(file, model_));
    hooks_.purgePlaylist();
}

void RenameCommands::bRenameAllClick() {
    outcomes_.clear();
    std::string summary;
    if (AskModel()) {
        mv::RenameAllParams params;
        params.recurse = dialogs_.YesNo(
            window_, DisplayText("Do you wish to include sub directories in your selection?"),
            DefaultAnswer::Cautious);
        params.root = hooks_.browserFolder();
        params.ext = hooks_.extension();
        params.model = model_;
        // Each folder is opened in the browser and its file list renamed in list order.
        params.listFiles = hooks_.openFolder;
        if (!params.root.empty()) {
            mv::RenameAllResult result = mv::RenameAll(params);
            summary = mv::RenameAllSummary(result);
            outcomes_ = std::move(result.outcomes);
        }
    }
    hooks_.purgePlaylist();
    // Last, so the playlist is already purged while the user reads it.
    if (!summary.empty()) dialogs_.Information(window_, DisplayLines(summary));
}

}  // namespace mv
