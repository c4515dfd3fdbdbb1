// The handler classes the main window owns, each given its controls and what
// it asks of the rest of the window.
#include "ui/main/tf_princ_handlers.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>

#include "dupes/compare_engine.h"
#include "dupes/compare_request.h"
#include "filetools/rename_journal.h"
#include "filetools/windows/rename_preview_dialog.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "ui/common/display_text.h"
#include "ui/main/caption_feedback.h"
#include "ui/main/main_window_ui.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

// How "Delete" removes a file: to the trash when the option says so, always
// written to the program's log of deleted files.
RemovalPolicy RemovalPolicyOf(const MainWindowUi& ui, const std::filesystem::path& programFolder) {
    RemovalPolicy policy;
    policy.toTrash = ui.tmiTrash->isChecked();
    policy.logFile = programFolder / kDeletedFilesLogName;
    return policy;
}

}  // namespace

void TfPrinc::MakeResultHandlers() {
    h_->browser = std::make_unique<FileBrowser>(ui_->dc, ui_->dl, ui_->fl, drives_);
    ResultListHooks hooks;
    hooks.refreshBrowser = [this] { brefreshClick(); };
    hooks.browseTo = [this](const std::string& folder, const std::string& name) {
        std::string target = folder;
        if (target.size() > 1 && target.back() == '/') target.pop_back();
        h_->browser->SetFolder(target);
        h_->browser->SelectFileNamed(name);
    };
    hooks.playFile = [this](const std::string& path) { PlayFile(path); };
    hooks.readTag = [this](const std::string& path) { h_->tag->ReadTag(path); };
    hooks.removalPolicy = [this] { return RemovalPolicyOf(*ui_, programFolder_); };
    h_->results = std::make_unique<ResultListHandlers>(ui_->results, dialogs_, playlist, foundFiles,
                                                       std::move(hooks));
    h_->pairFacts =
        std::make_unique<PairFactsHandlers>(ui_->facts, h_->results->Model(), PairFactsHooks{});
    h_->soundCheck =
        std::make_unique<SoundCheckHandlers>(ui_->sound, h_->results->Model(), SoundCheckHooks{});
}

// The comparison commands, the drive scan and the list editor's search.
void TfPrinc::MakeCompareHandlers() {
    CompareHooks compareHooks;
    compareHooks.enterBusyState = [this] { EnterBusyState(); };
    compareHooks.leaveBusyState = [this] { LeaveBusyState(); };
    compareHooks.refreshBrowser = [this] { brefreshClick(); };
    compareHooks.browserFolder = [this] { return h_->browser->Folder(); };
    compareHooks.hideToTray = [this] { hideToTray ? hideToTray() : hide(); };
    compareHooks.showFromTray = [this] {
        if (showFromTray) {
            showFromTray();
        } else {
            show();
            raise();
            activateWindow();
        }
    };
    // The facts of the pairs fill in once the rows stand; a search has no files.
    compareHooks.runEnded = [this](mv::CompareMode mode) {
        if (mode != mv::kModeSearchList) h_->pairFacts->Start();
    };
    h_->compare = std::make_unique<CompareCommands>(
        ui_->compare, dialogs_, *h_->results, foundFiles, programFolder_, std::move(compareHooks));
    CompareBackend backend;
    backend.run = &mv::RunCompare;
    backend.collectFolderFiles = &mv::CollectFolderFiles;
    backend.parsePercent = &mv::ParsePercent;
    h_->compare->SetBackend(std::move(backend));
    h_->soundSearch = std::make_unique<SoundSearchCommands>(*h_->compare, SoundSearchHooks{});

    DriveScanHooks scanHooks;
    scanHooks.enterBusyState = [this] { EnterBusyState(); };
    scanHooks.leaveBusyState = [this] { LeaveBusyState(); };
    scanHooks.driveRoot = [this] { return h_->browser->DriveRoot(); };
    scanHooks.clearResults = [this] {
        h_->results->SetSwitchAllowed(false);
        h_->results->Model().Clear();
    };
    scanHooks.appendRows = [this](std::vector<mv::ResultRow>&& rows) {
        h_->results->Model().Append(std::move(rows));
    };
    scanHooks.currentRows = [this] { return h_->results->Model().rows(); };
    h_->scan = std::make_unique<DriveScanCommands>(ui_->scan, dialogs_, foundFiles, programFolder_,
                                                   std::move(scanHooks));

    // The list editor searches through this window's comparison and steps
    // through the locations the right list then holds.
    listEditorHooks_.resultRows = [this] {
        std::vector<std::string> locations;
        for (const mv::ResultRow& row : h_->results->Model().rows()) {
            if (row.rightKind == mv::RowKind::ListLocation) locations.push_back(row.right);
        }
        return locations;
    };
    listEditorHooks_.search = [this, rows = listEditorHooks_.resultRows](const std::string& text) {
        mv::CompareChoice choice;
        choice.command = mv::CompareCommand::SearchList;
        choice.searchText = text;
        h_->compare->RunCompare(mv::BuildCompareRequest(std::move(choice)));
        return rows();
    };
}

// The BanList menu, the tag panel and renaming.
void TfPrinc::MakeFileToolHandlers() {
    BanHooks banHooks;
    banHooks.enterBusyState = [this] { EnterBusyState(); };
    banHooks.leaveBusyState = [this] { LeaveBusyState(); };
    banHooks.browserFolder = [this] { return h_->browser->Folder(); };
    // The ban scan is a comparison of this window, shown in its result lists.
    banHooks.runCompare = [this](const mv::CompareRequest& request) {
        return h_->compare->RunCompare(request);
    };
    h_->ban =
        std::make_unique<BanCommands>(ui_->ban, dialogs_, programFolder_, std::move(banHooks));
    h_->tag = std::make_unique<TagPanelHandlers>(ui_->tag, dialogs_);

    RenameHooks renameHooks;
    renameHooks.selectedFile = [this] { return h_->browser->SelectedFile(); };
    renameHooks.browserFolder = [this] { return h_->browser->Folder(); };
    renameHooks.extension = [this] { return TypedBytes(ui_->compare.eExt->text()); };
    renameHooks.openFolder =
        [this](const std::string& folder) -> std::optional<std::vector<std::string>> {
        if (!h_->browser->SetFolder(folder)) return std::nullopt;
        std::vector<std::string> names;
        for (int i = 0; i < ui_->fl->count(); ++i) {
            names.push_back(BytesOfData(ui_->fl->item(i)->data(FileBrowser::kBytesRole)));
        }
        return names;
    };
    renameHooks.purgePlaylist = [this] { h_->results->PurgePlaylist(); };
    renameHooks.naming = [this] {
        return mv::NamingOptions{ui_->tmiNameFromId3v2->isChecked(),
                                 ui_->tmiWindowsSafe->isChecked()};
    };
    renameHooks.confirmPreview = [this](const mv::RenamePreview& preview) {
        RenamePreviewDialog dialog(preview, this);
        return dialog.exec() == QDialog::Accepted;
    };
    renameHooks.refreshBrowser = [this] { brefreshClick(); };
    renameHooks.journalFile = programFolder_ / kRenameJournalName;
    h_->rename = std::make_unique<RenameCommands>(this, dialogs_, std::move(renameHooks));
}

// The music panel and the playlist with its menu.
void TfPrinc::MakePlayerHandlers() {
    PlaybackHooks playbackHooks;
    playbackHooks.showStatus = [this](const QString& status) {
        playbackStatus_ = status;
        setWindowTitle(mv::FeedbackCaption(ui_->compare.eExt->text(), status));
    };
    playbackHooks.setTrayTip = [this](const QString& tip) {
        if (setTrayTip) setTrayTip(tip);
    };
    playbackHooks.stateChanged = [this] {
        if (playerStateChanged) playerStateChanged();
    };
    h_->playback = std::make_unique<PlaybackHandlers>(ui_->playback, dialogs_, playlist,
                                                      std::move(playbackHooks));
    PlaylistHooks playlistHooks;
    playlistHooks.playFile = [this](const std::string& path) { PlayFile(path); };
    playlistHooks.readTag = [this](const std::string& path) { h_->tag->ReadTag(path); };
    playlistHooks.browserFolder = [this] { return h_->browser->Folder(); };
    playlistHooks.browseTo = [this](const std::string& folder, const std::string& name) {
        h_->browser->SetFolder(folder);
        h_->browser->SelectFileNamed(name);
    };
    playlistHooks.refreshBrowser = [this] { brefreshClick(); };
    playlistHooks.removalPolicy = [this] { return RemovalPolicyOf(*ui_, programFolder_); };
    playlistHooks.enterBusyState = [this] { EnterBusyState(); };
    playlistHooks.leaveBusyState = [this] { LeaveBusyState(); };
    h_->playlistHandlers = std::make_unique<PlaylistHandlers>(
        ui_->playlist, dialogs_, playlist, programFolder_, std::move(playlistHooks));
    h_->playlistLengths = std::make_unique<PlaylistLengths>(ui_->playlist.lPlayList, playlist,
                                                            PlaylistLengthsHooks{});
}

}  // namespace mv
