// The handler classes the main window owns, each given its controls and what
// it asks of the rest of the window.
#include <QLineEdit>
#include <QListWidget>

#include "catalogue/windows/drive_scan_commands.h"
#include "dupes/compare_engine.h"
#include "dupes/compare_request.h"
#include "dupes/windows/compare_commands.h"
#include "dupes/windows/pair_facts_handlers.h"
#include "dupes/windows/result_list_handlers.h"
#include "filetools/windows/ban_commands.h"
#include "filetools/windows/rename_commands.h"
#include "filetools/windows/tag_panel_handlers.h"
#include "platform/folder_listing.h"
#include "player/windows/playback_handlers.h"
#include "player/windows/playlist_handlers.h"
#include "ui/common/display_text.h"
#include "ui/main/caption_feedback.h"
#include "ui/main/file_browser.h"
#include "ui/main/main_window_ui.h"
#include "ui/main/tf_princ.h"

namespace mv {

void TfPrinc::MakeResultHandlers() {
    browser_ = std::make_unique<FileBrowser>(ui_->dc, ui_->dl, ui_->fl, drives_);
    ResultListHooks hooks;
    hooks.refreshBrowser = [this] { brefreshClick(); };
    hooks.browseTo = [this](const std::string& folder, const std::string& name) {
        std::string target = folder;
        if (target.size() > 1 && target.back() == '/') target.pop_back();
        browser_->SetFolder(target);
        browser_->SelectFileNamed(name);
    };
    hooks.playFile = [this](const std::string& path) { PlayFile(path); };
    hooks.readTag = [this](const std::string& path) { ReadTag(path); };
    hooks.removalPolicy = [this] { return RemovalPolicy(); };
    results_ = std::make_unique<ResultListHandlers>(ui_->results, dialogs_, playlist, foundFiles,
                                                    std::move(hooks));
    pairFacts_ =
        std::make_unique<PairFactsHandlers>(ui_->facts, results_->Model(), PairFactsHooks{});
}

// The comparison commands, the drive scan and the list editor's search.
void TfPrinc::MakeCompareHandlers() {
    CompareHooks compareHooks;
    compareHooks.enterBusyState = [this] { EnterBusyState(); };
    compareHooks.leaveBusyState = [this] { LeaveBusyState(); };
    compareHooks.refreshBrowser = [this] { brefreshClick(); };
    compareHooks.browserFolder = [this] { return browser_->Folder(); };
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
        if (mode != mv::kModeSearchList) pairFacts_->Start();
    };
    compare_ = std::make_unique<CompareCommands>(ui_->compare, dialogs_, *results_, foundFiles,
                                                 programFolder_, std::move(compareHooks));
    CompareBackend backend;
    backend.run = &mv::RunCompare;
    backend.collectFolderFiles = &mv::CollectFolderFiles;
    backend.parsePercent = &mv::ParsePercent;
    compare_->SetBackend(std::move(backend));

    DriveScanHooks scanHooks;
    scanHooks.enterBusyState = [this] { EnterBusyState(); };
    scanHooks.leaveBusyState = [this] { LeaveBusyState(); };
    scanHooks.driveRoot = [this] { return browser_->DriveRoot(); };
    scanHooks.clearResults = [this] {
        results_->SetSwitchAllowed(false);
        results_->Model().Clear();
    };
    scanHooks.appendRows = [this](std::vector<mv::ResultRow>&& rows) {
        results_->Model().Append(std::move(rows));
    };
    scanHooks.currentRows = [this] { return results_->Model().rows(); };
    scan_ = std::make_unique<DriveScanCommands>(ui_->scan, dialogs_, foundFiles, programFolder_,
                                                std::move(scanHooks));

    // The list editor searches through this window's comparison and steps
    // through the locations the right list then holds.
    listEditorHooks_.resultRows = [this] {
        std::vector<std::string> locations;
        for (const mv::ResultRow& row : results_->Model().rows()) {
            if (row.rightKind == mv::RowKind::ListLocation) locations.push_back(row.right);
        }
        return locations;
    };
    listEditorHooks_.search = [this, rows = listEditorHooks_.resultRows](const std::string& text) {
        mv::CompareChoice choice;
        choice.command = mv::CompareCommand::SearchList;
        choice.searchText = text;
        compare_->RunCompare(mv::BuildCompareRequest(std::move(choice)));
        return rows();
    };
}

// The BanList menu, the tag panel and renaming.
void TfPrinc::MakeFileToolHandlers() {
    BanHooks banHooks;
    banHooks.enterBusyState = [this] { EnterBusyState(); };
    banHooks.leaveBusyState = [this] { LeaveBusyState(); };
    banHooks.browserFolder = [this] { return browser_->Folder(); };
    // The ban scan is a comparison of this window, shown in its result lists.
    banHooks.runCompare = [this](const mv::CompareRequest& request) {
        return compare_->RunCompare(request);
    };
    ban_ = std::make_unique<BanCommands>(ui_->ban, dialogs_, programFolder_, std::move(banHooks));
    tag_ = std::make_unique<TagPanelHandlers>(ui_->tag, dialogs_);

    RenameHooks renameHooks;
    renameHooks.selectedFile = [this] { return browser_->SelectedFile(); };
    renameHooks.browserFolder = [this] { return browser_->Folder(); };
    renameHooks.extension = [this] { return TypedBytes(ui_->compare.eExt->text()); };
    renameHooks.openFolder =
        [this](const std::string& folder) -> std::optional<std::vector<std::string>> {
        if (!browser_->SetFolder(folder)) return std::nullopt;
        std::vector<std::string> names;
        for (int i = 0; i < ui_->fl->count(); ++i) {
            names.push_back(BytesOfData(ui_->fl->item(i)->data(FileBrowser::kBytesRole)));
        }
        return names;
    };
    renameHooks.purgePlaylist = [this] { results_->PurgePlaylist(); };
    rename_ = std::make_unique<RenameCommands>(this, dialogs_, std::move(renameHooks));
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
    playback_ = std::make_unique<PlaybackHandlers>(ui_->playback, dialogs_, playlist,
                                                   std::move(playbackHooks));
    PlaylistHooks playlistHooks;
    playlistHooks.playFile = [this](const std::string& path) { PlayFile(path); };
    playlistHooks.readTag = [this](const std::string& path) { ReadTag(path); };
    playlistHooks.browserFolder = [this] { return browser_->Folder(); };
    playlistHooks.browseTo = [this](const std::string& folder, const std::string& name) {
        browser_->SetFolder(folder);
        browser_->SelectFileNamed(name);
    };
    playlistHooks.refreshBrowser = [this] { brefreshClick(); };
    playlistHooks.removalPolicy = [this] { return RemovalPolicy(); };
    playlistHooks.enterBusyState = [this] { EnterBusyState(); };
    playlistHooks.leaveBusyState = [this] { LeaveBusyState(); };
    playlistHandlers_ = std::make_unique<PlaylistHandlers>(
        ui_->playlist, dialogs_, playlist, programFolder_, std::move(playlistHooks));
}

}  // namespace mv
