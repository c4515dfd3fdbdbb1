#include "catalogue/windows/drive_scan_commands.h"

#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <atomic>
#include <thread>

#include "catalogue/catalogue_names.h"
#include "catalogue/save_cd.h"
#include "dupes/name_matcher.h"
#include "dupes/passed_over_text.h"
#include "platform/program_folder.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

DriveScanCommands::DriveScanCommands(const DriveScanWidgets& widgets, Dialogs& dialogs,
                                     std::vector<std::string>& foundFiles,
                                     std::filesystem::path programFolder, DriveScanHooks hooks,
                                     QObject* parent)
    : QObject(parent),
      w_(widgets),
      dialogs_(dialogs),
      foundFiles_(foundFiles),
      programFolder_(std::move(programFolder)),
      hooks_(std::move(hooks)) {}

void DriveScanCommands::bMakeClick() {
    if (running_) return;
    running_ = true;
    control_.stopRequested = false;
    // The scan cannot be stopped halfway: its rows are saved as a whole CD.
    w_.bCancel->setEnabled(false);
    foundFiles_.clear();
    if (hooks_.enterBusyState) hooks_.enterBusyState();
    if (hooks_.clearResults) hooks_.clearResults();
    w_.lList->setText(QStringLiteral("List of file found"));
    w_.lRef->setText(QStringLiteral("File's location"));

    mv::DriveScanParams params;
    params.driveRoot = hooks_.driveRoot ? hooks_.driveRoot() : std::string();
    params.ext = TypedBytes(w_.eExt->text());
    params.normalize = [](std::string_view name) { return mv::NormalizeName(std::string(name)); };

    mv::DriveScanResult result;
    if (!params.driveRoot.empty()) {
        QEventLoop loop;
        std::atomic<bool> finished{false};
        std::thread worker([&] {
            result = mv::ScanDrive(params, control_);
            finished = true;
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        if (!finished) control_.stopRequested = true;  // the application is quitting
        worker.join();
    } else {
        result.resultText = mv::FormatFilesFound(0);
    }

    scannedRoot_ = result.driveRoot;
    std::vector<mv::ResultRow> rows;
    rows.reserve(result.files.size());
    for (mv::ScannedFile& file : result.files) {
        foundFiles_.push_back(result.PathOf(file));
        rows.push_back({std::move(file.title), result.FolderOf(file), mv::RowKind::ScannedTitle,
                        mv::RowKind::ScannedFolder});
    }
    if (hooks_.appendRows) hooks_.appendRows(std::move(rows));

    w_.bSave->setEnabled(true);
    w_.bCancel->setEnabled(true);
    if (hooks_.leaveBusyState) hooks_.leaveBusyState();
    w_.lRes->setText(
        DisplayText(result.resultText + mv::PassedOverNote(result.foldersPassedOver.size())));
    // Files of an unreadable folder would be missing from the CD's entry.
    if (!result.foldersPassedOver.empty()) {
        dialogs_.Information(w_.window,
                             DisplayText(mv::PassedOverMessage(result.foldersPassedOver)));
    }
    // A title saved without its leading \ would name a file that is not there.
    if (!result.namesPassedOver.empty()) {
        dialogs_.Information(w_.window,
                             DisplayText(mv::NamesPassedOverMessage(result.namesPassedOver)));
    }
    running_ = false;
}

void DriveScanCommands::bSaveClick() {
    mv::ListForSave opened =
        mv::OpenListForSave(mv::FindProgramFile(programFolder_, mv::kMp3ListFileName));
    if (!opened.message.empty()) {
        dialogs_.Information(w_.window, DisplayText(opened.message));
        return;
    }

    control_.stopRequested = false;
    std::string name;
    for (;;) {
        const auto typed = dialogs_.InputText(w_.window, QStringLiteral("CD Name"),
                                              QStringLiteral("What is your cd name?"), QString());
        if (!typed) {
            control_.stopRequested = true;
            return;
        }
        if (!typed->isEmpty()) {
            name = TypedBytes(*typed);  // as typed, blanks kept
            break;
        }
    }

    mv::SaveCdParams params;
    params.name = name;
    params.driveRoot = scannedRoot_;
    if (opened.list.FindCd(name) >= 0) {
        if (!dialogs_.YesNo(w_.window,
                            QStringLiteral("This name already exist in your list. Overwrite? "
                                           "Pressing no will not add anything."),
                            DefaultAnswer::Cautious)) {
            control_.stopRequested = true;
            return;
        }
        params.replace = true;
    }
    // What the lists hold now, as the user may have removed rows since the scan.
    if (hooks_.currentRows) {
        for (const mv::ResultRow& row : hooks_.currentRows()) {
            if (row.leftKind == mv::RowKind::ScannedTitle &&
                row.rightKind == mv::RowKind::ScannedFolder) {
                params.files.push_back({row.left, row.right});
            }
        }
    }
    const mv::SaveCdResult saved = mv::SaveCd(opened, params);
    for (const std::string& message : saved.messages) {
        dialogs_.Information(w_.window, DisplayText(message));
    }
}

}  // namespace mv
