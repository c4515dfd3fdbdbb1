#include "ui/main/tf_princ.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "catalogue/windows/drive_chooser.h"
#include "catalogue/windows/drive_scan_commands.h"
#include "catalogue/windows/tf_stats.h"
#include "dupes/compare_engine.h"
#include "dupes/windows/compare_commands.h"
#include "dupes/windows/result_list_handlers.h"
#include "filetools/ban_list.h"
#include "filetools/windows/ban_commands.h"
#include "filetools/windows/rename_commands.h"
#include "filetools/windows/tag_panel_handlers.h"
#include "mv_version.h"
#include "net/windows/tf_poll.h"
#include "platform/folder_listing.h"
#include "player/windows/playback_handlers.h"
#include "player/windows/playlist_handlers.h"
#include "player/windows/tf_eq.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"
#include "ui/common/fitting_label.h"
#include "ui/main/caption_feedback.h"
#include "ui/main/file_browser.h"
#include "ui/main/walkthrough.h"

namespace {

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(DisplayText(name));
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, bool centred) {
    auto* label = Named(new FittingLabel(DisplayText(text), parent), name);
    if (centred) label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QSlider* MakeSlider(QWidget* parent, const char* name, int max, int position, int step) {
    auto* slider = Named(new QSlider(Qt::Horizontal, parent), name);
    slider->setRange(0, max);
    slider->setValue(position);
    slider->setSingleStep(step);
    slider->setPageStep(step);
    return slider;
}

QAction* MakeAction(QMenu* menu, const char* name, const char* caption) {
    auto* action = Named(menu->addAction(DisplayText(caption)), name);
    return action;
}

QAction* MakeCheckItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = MakeAction(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

mv::LayoutRect RectOf(const QWidget* w) {
    return {w->x(), w->y(), w->width(), w->height()};
}

}  // namespace

TfPrinc::TfPrinc(Dialogs& dialogs, const mv::DriveList& drives, std::filesystem::path programFolder,
                 QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      drives_(drives),
      programFolder_(std::move(programFolder)) {
    setObjectName(DisplayText("fPrinc"));
    setWindowTitle(DisplayText("Mp3 Vandrel"));
    // The design font is an 11-pixel sans serif; the nearest the desktop has.
    QFont design = font();
    design.setFamilies({DisplayText("MS Sans Serif"), DisplayText("Liberation Sans"),
                        DisplayText("Arial"), DisplayText("DejaVu Sans Condensed")});
    design.setPixelSize(11);
    setFont(design);

    client_ = new QWidget(this);
    client_->setObjectName(DisplayText("client"));
    setCentralWidget(client_);
    BuildControls();
    BuildMenus();

    browser_ = std::make_unique<FileBrowser>(dc, dl, fl, drives_);
    ResultListWidgets widgets;
    widgets.window = this;
    widgets.lbCompRes = lbCompRes;
    widgets.lbFile = lbFile;
    widgets.lRes = lRes;
    widgets.bDel = bDel;
    widgets.bRemove = bRemove;
    widgets.bDelete = bDelete;
    widgets.bSaveCsv = bSaveCsv;
    widgets.eExt = eExt;
    widgets.lPlayList = lPlayList;
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
    results_ = std::make_unique<ResultListHandlers>(widgets, dialogs_, playlist, foundFiles,
                                                    std::move(hooks));

    CompareWidgets compareWidgets;
    compareWidgets.window = this;
    compareWidgets.lList = lList;
    compareWidgets.lRef = lRef;
    compareWidgets.lRes = lRes;
    compareWidgets.gp = gp;
    compareWidgets.ePerc = ePerc;
    compareWidgets.eExt = eExt;
    compareWidgets.pTag = pTag;
    compareWidgets.cbRec = cbRec;
    compareWidgets.cbMinimize = cbMinimize;
    compareWidgets.bSave = bSave;
    CompareHooks compareHooks;
    compareHooks.enterBusyState = [this] { EnterBusyState(); };
    compareHooks.leaveBusyState = [this] { LeaveBusyState(); };
    compareHooks.refreshBrowser = [this] { brefreshClick(); };
    compareHooks.browserFolder = [this] { return browser_->Folder(); };
    compareHooks.hideToTray = [this] {
        if (hideToTray) {
            hideToTray();
        } else {
            hide();
        }
    };
    compareHooks.showFromTray = [this] {
        if (showFromTray) {
            showFromTray();
        } else {
            show();
            raise();
            activateWindow();
        }
    };
    compare_ = std::make_unique<CompareCommands>(compareWidgets, dialogs_, *results_, foundFiles,
                                                 programFolder_, std::move(compareHooks));
    CompareBackend backend;
    backend.run = &mv::RunCompare;
    backend.collectFolderFiles = &mv::CollectFolderFiles;
    backend.parsePercent = &mv::ParsePercent;
    compare_->SetBackend(std::move(backend));

    DriveScanWidgets scanWidgets;
    scanWidgets.window = this;
    scanWidgets.lList = lList;
    scanWidgets.lRef = lRef;
    scanWidgets.lRes = lRes;
    scanWidgets.eExt = eExt;
    scanWidgets.bSave = bSave;
    scanWidgets.bCancel = bCancel;
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
    scan_ = std::make_unique<DriveScanCommands>(scanWidgets, dialogs_, foundFiles, programFolder_,
                                                std::move(scanHooks));

    // The list editor searches through this window's comparison, in mode 3 at
    // 101, and steps through the locations the right list then holds.
    TfStatsHooks statsHooks;
    statsHooks.resultRows = [this] {
        std::vector<std::string> locations;
        for (const mv::ResultRow& row : results_->Model().rows()) {
            if (row.rightKind == mv::RowKind::ListLocation) locations.push_back(row.right);
        }
        return locations;
    };
    statsHooks.search = [this, rows = statsHooks.resultRows](const std::string& text) {
        mv::CompareChoice choice;
        choice.command = mv::CompareCommand::SearchList;
        choice.searchText = text;
        compare_->RunCompare(mv::BuildCompareRequest(std::move(choice)));
        return rows();
    };
    listEditorHooks_ = std::move(statsHooks);

    // The ban list scan runs through this window's comparison, in mode 1 at
    // 100, on the ban list's lines.
    BanWidgets banWidgets;
    banWidgets.window = this;
    banWidgets.cbRec = cbRec;
    BanHooks banHooks;
    banHooks.enterBusyState = [this] { EnterBusyState(); };
    banHooks.leaveBusyState = [this] { LeaveBusyState(); };
    banHooks.browserFolder = [this] { return browser_->Folder(); };
    banHooks.runCompare = [this](const mv::CompareRequest& request) {
        return compare_->RunCompare(request);
    };
    ban_ = std::make_unique<BanCommands>(banWidgets, dialogs_, programFolder_, std::move(banHooks));
    TagPanelWidgets tagWidgets;
    tagWidgets.window = this;
    tagWidgets.pTag = pTag;
    tagWidgets.eTitle = eTitle;
    tagWidgets.eArtist = eArtist;
    tagWidgets.eAlbum = eAlbum;
    tagWidgets.eYear = eYear;
    tagWidgets.eComment = eComment;
    tagWidgets.bSaveTag = bSaveTag;
    tagWidgets.bCancelTag = bCancelTag;
    tag_ = std::make_unique<TagPanelHandlers>(tagWidgets, dialogs_);

    RenameHooks renameHooks;
    renameHooks.selectedFile = [this] { return browser_->SelectedFile(); };
    renameHooks.browserFolder = [this] { return browser_->Folder(); };
    renameHooks.extension = [this] { return TypedBytes(eExt->text()); };
    renameHooks.openFolder =
        [this](const std::string& folder) -> std::optional<std::vector<std::string>> {
        if (!browser_->SetFolder(folder)) return std::nullopt;
        std::vector<std::string> names;
        for (int i = 0; i < fl->count(); ++i) {
            names.push_back(BytesOfData(fl->item(i)->data(FileBrowser::kBytesRole)));
        }
        return names;
    };
    renameHooks.purgePlaylist = [this] { results_->PurgePlaylist(); };
    rename_ = std::make_unique<RenameCommands>(this, dialogs_, std::move(renameHooks));
    PlaybackWidgets playbackWidgets;
    playbackWidgets.window = this;
    playbackWidgets.lPlayList = lPlayList;
    playbackWidgets.tbPitch = tbPitch;
    playbackWidgets.tbVolume = tbVolume;
    playbackWidgets.tbTrack = tbTrack;
    playbackWidgets.bStop = bStop;
    playbackWidgets.bPause = bPause;
    playbackWidgets.bNext = bNext;
    playbackWidgets.cbShuffle = cbShuffle;
    playbackWidgets.NextTimer = NextTimer;
    PlaybackHooks playbackHooks;
    playbackHooks.showStatus = [this](const QString& status) {
        playbackStatus_ = status;
        setWindowTitle(mv::FeedbackCaption(eExt->text(), status));
    };
    playbackHooks.setTrayTip = [this](const QString& tip) {
        if (setTrayTip) setTrayTip(tip);
    };
    playbackHooks.stateChanged = [this] {
        if (playerStateChanged) playerStateChanged();
    };
    playback_ = std::make_unique<PlaybackHandlers>(playbackWidgets, dialogs_, playlist,
                                                   std::move(playbackHooks));
    PlaylistWidgets playlistWidgets;
    playlistWidgets.window = this;
    playlistWidgets.lPlayList = lPlayList;
    playlistWidgets.pmPlayList = pmPlayList;
    playlistWidgets.tmiPlay = tmiPlay;
    playlistWidgets.tmiRemove = tmiRemove;
    playlistWidgets.tmiTag = tmiTag;
    playlistWidgets.tmiLocate = tmiLocate;
    playlistWidgets.tmiDelete = tmiDelete;
    playlistWidgets.tmiRecurse = tmiRecurse;
    playlistWidgets.eExt = eExt;
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
        playlistWidgets, dialogs_, playlist, programFolder_, std::move(playlistHooks));
    WireControls();

    std::error_code ec;
    browser_->OpenDriveRootOf(std::filesystem::current_path(ec).string());
    setGeometry(kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
}

TfPrinc::~TfPrinc() = default;

void TfPrinc::BuildControls() {
    auto place = [this](QWidget* w, mv::LayoutRect r) {
        w->setGeometry(r.left, r.top, r.width, r.height);
        windowChildren_.push_back(w);
        windowDesign_.push_back(r);
    };

    dc = Named(new QComboBox(client_), "dc");
    place(dc, {4, 0, 141, 19});
    brefresh = Named(new QPushButton(DisplayText("Refresh"), client_), "brefresh");
    place(brefresh, {152, 0, 65, 17});
    bRename = Named(new QPushButton(DisplayText("Rename"), client_), "bRename");
    bRename->setToolTip(DisplayText("Will rename selected file in the file list below"));
    place(bRename, {224, 0, 145, 17});
    bRenameAll = Named(new QPushButton(DisplayText("Rename All"), client_), "bRenameAll");
    bRenameAll->setToolTip(DisplayText("Will rename all files in the selected folder"));
    place(bRenameAll, {368, 0, 145, 17});
    Label13 = MakeLabel(client_, "Label13", "PLAYLIST", true);
    place(Label13, {520, 0, 273, 17});
    dl = Named(new QListWidget(client_), "dl");
    dl->setUniformItemSizes(true);
    place(dl, {6, 24, 215, 217});
    fl = Named(new QListWidget(client_), "fl");
    fl->setSelectionMode(QAbstractItemView::SingleSelection);
    fl->setDragEnabled(true);
    fl->setContextMenuPolicy(Qt::CustomContextMenu);
    place(fl, {224, 24, 289, 185});
    pTag = Named(new QFrame(client_), "pTag");
    pTag->setFrameShape(QFrame::Panel);
    pTag->setAutoFillBackground(true);
    place(pTag, {224, 24, 289, 185});
    BuildTagPanel();
    pTag->hide();
    pMC = Named(new QFrame(client_), "pMC");
    pMC->setFrameShape(QFrame::Panel);
    place(pMC, {224, 208, 289, 121});
    BuildMusicPanel();
    lPlayList = Named(new QListWidget(client_), "lPlayList");
    lPlayList->setUniformItemSizes(true);
    lPlayList->setDragEnabled(true);
    lPlayList->setContextMenuPolicy(Qt::CustomContextMenu);
    place(lPlayList, {516, 24, 277, 305});
    Label3 = MakeLabel(client_, "Label3", "Min % word for the files to match:", false);
    place(Label3, {4, 248, 155, 13});
    ePerc = Named(new QLineEdit(DisplayText("80"), client_), "ePerc");
    ePerc->setMaxLength(2);
    place(ePerc, {184, 248, 33, 21});
    Label1 = MakeLabel(client_, "Label1", "Extension to be used:", false);
    place(Label1, {4, 272, 102, 13});
    eExt = Named(new QLineEdit(DisplayText("Mp3"), client_), "eExt");
    eExt->setMaxLength(4);
    place(eExt, {184, 272, 33, 21});
    bCancel = Named(new QPushButton(DisplayText("Stop current operation"), client_), "bCancel");
    bCancel->setToolTip(DisplayText("Stop current comparison"));
    place(bCancel, {6, 304, 215, 25});
    lRes = MakeLabel(client_, "lRes", "", false);
    place(lRes, {611, 334, 184, 13});
    gp = Named(new QProgressBar(client_), "gp");
    gp->setRange(0, 100);
    gp->setValue(0);
    gp->setTextVisible(false);
    gp->setStyleSheet(DisplayText("QProgressBar::chunk { background-color: maroon; }"));
    place(gp, {6, 336, 603, 12});
    lList = MakeLabel(client_, "lList", "Duplicate List (Will delete files HERE)", true);
    place(lList, {6, 352, 387, 13});
    lRef = MakeLabel(client_, "lRef", "Duplicate Reference (Press X to switch filenames)", true);
    place(lRef, {392, 352, 403, 13});
    lbCompRes = Named(new QListView(client_), "lbCompRes");
    lbCompRes->setSelectionMode(QAbstractItemView::ExtendedSelection);
    place(lbCompRes, {4, 368, 393, 169});
    lbFile = Named(new QListView(client_), "lbFile");
    lbFile->setSelectionMode(QAbstractItemView::SingleSelection);
    place(lbFile, {396, 368, 397, 169});
    for (QListView* list : {lbCompRes, lbFile}) {
        // Long result lists stay quick when every row has the same height.
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    lVersion = MakeLabel(client_, "lVersion",
                         "Mp3 Vandrel - the Mp3 Vandrel authors - mp3vandrel@localhost - "
                         "http://localhost:8080/ - Version " MV_VERSION,
                         true);
    place(lVersion, {0, 544, 793, 13});
}

void TfPrinc::BuildTagPanel() {
    Label4 = MakeLabel(pTag, "Label4", "ID3 TAG", false);
    Label4->setGeometry(120, 8, 72, 21);
    QFont title = Label4->font();
    title.setPixelSize(19);
    title.setBold(true);
    Label4->setFont(title);
    const char* labelNames[] = {"Label5", "Label6", "Label7", "Label8", "Label9"};
    const char* labelTexts[] = {"Title (%1)", "Artist (%2)", "Album (%3)", "Year (%4)",
                                "Comment (%5)"};
    const char* editNames[] = {"eTitle", "eArtist", "eAlbum", "eYear", "eComment"};
    QLabel* labels[5];
    QLineEdit* edits[5];
    for (int i = 0; i < 5; ++i) {
        const int top = 32 + 24 * i;
        labels[i] = MakeLabel(pTag, labelNames[i], labelTexts[i], false);
        labels[i]->setGeometry(16, top, 78, 21);
        edits[i] = Named(new QLineEdit(pTag), editNames[i]);
        const bool year = i == 3;
        edits[i]->setMaxLength(year ? 4 : 30);
        edits[i]->setGeometry(96, top, year ? 49 : 177, 21);
    }
    Label5 = labels[0];
    Label6 = labels[1];
    Label7 = labels[2];
    Label8 = labels[3];
    Label9 = labels[4];
    eTitle = edits[0];
    eArtist = edits[1];
    eAlbum = edits[2];
    eYear = edits[3];
    eComment = edits[4];
    bSaveTag = Named(new QPushButton(DisplayText("Save"), pTag), "bSaveTag");
    bSaveTag->setGeometry(40, 152, 89, 25);
    bCancelTag = Named(new QPushButton(DisplayText("Cancel"), pTag), "bCancelTag");
    bCancelTag->setGeometry(168, 152, 89, 25);
}

void TfPrinc::BuildMusicPanel() {
    auto place = [this](QWidget* w, mv::LayoutRect r) {
        w->setGeometry(r.left, r.top, r.width, r.height);
        panelChildren_.push_back(w);
        panelDesign_.push_back(r);
    };
    Label10 = MakeLabel(pMC, "Label10", "Music Control", true);
    QFont title = Label10->font();
    title.setPixelSize(19);
    title.setItalic(true);
    Label10->setFont(title);
    place(Label10, {8, 2, 273, 25});
    Label11 = MakeLabel(pMC, "Label11", "Speed", true);
    place(Label11, {16, 24, 113, 17});
    Label12 = MakeLabel(pMC, "Label12", "Volume", true);
    place(Label12, {160, 24, 105, 17});
    tbPitch = MakeSlider(pMC, "tbPitch", 2000, 1000, 10);
    place(tbPitch, {8, 40, 129, 25});
    tbVolume = MakeSlider(pMC, "tbVolume", 100, 100, 10);
    place(tbVolume, {152, 40, 129, 25});
    bStop = Named(new QPushButton(DisplayText("Stop"), pMC), "bStop");
    bStop->setEnabled(false);
    place(bStop, {16, 64, 89, 17});
    bPause = Named(new QPushButton(DisplayText("Pause"), pMC), "bPause");
    bPause->setEnabled(false);
    place(bPause, {120, 64, 89, 17});
    cbShuffle = Named(new QCheckBox(DisplayText("Shuffle"), pMC), "cbShuffle");
    cbShuffle->setChecked(true);
    place(cbShuffle, {216, 63, 65, 20});
    tbTrack = MakeSlider(pMC, "tbTrack", 400, 0, 1);
    place(tbTrack, {16, 88, 241, 25});
    bNext = Named(new QPushButton(DisplayText("-->"), pMC), "bNext");
    place(bNext, {256, 90, 25, 15});
}

void TfPrinc::BuildMenus() {
    MM = menuBar();
    MM->setObjectName(DisplayText("MM"));
    auto menu = [this](const char* name, const char* caption) {
        return Named(MM->addMenu(DisplayText(caption)), name);
    };
    File1 = menu("File1", "File");
    bClose = MakeAction(File1, "bClose", "Exit");
    bClose->setShortcut(QKeySequence(Qt::Key_F10));

    Dupes1 = menu("Dupes1", "Dupes");
    bCompare = MakeAction(Dupes1, "bCompare", "Compare selected foder with my list");
    bCompare->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    bFolder = MakeAction(Dupes1, "bFolder", "Find dupes in the folder");
    bFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));

    List1 = menu("List1", "List");
    bMake = MakeAction(List1, "bMake", "Find all mp3 on this drive");
    bMake->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    bLStats = MakeAction(List1, "bLStats", "Edit Mp3 list");
    bLStats->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    bSave = MakeAction(List1, "bSave", "Save found files to list");
    bSave->setEnabled(false);

    Compareresults1 = menu("Compareresults1", "Compare results");
    bDel = MakeAction(Compareresults1, "bDel", "Delete selected file(s)");
    bRemove = MakeAction(Compareresults1, "bRemove", "Remove selected file(s) from list");
    bDelete = MakeAction(Compareresults1, "bDelete", "Delete all");
    bSaveCsv = MakeAction(Compareresults1, "bSaveCsv", "Save results as CSV...");
    for (QAction* a : {bDel, bRemove, bDelete}) a->setEnabled(false);

    Playlist1 = menu("Playlist1", "Playlist");
    bPlaylistAdd = MakeAction(Playlist1, "bPlaylistAdd", "Add directory to playlist");
    bClearPlaylist = MakeAction(Playlist1, "bClearPlaylist", "Clear Playlist");
    bSaveP = MakeAction(Playlist1, "bSaveP", "Save Playlist");
    bLoadP = MakeAction(Playlist1, "bLoadP", "Load Playlist");

    BanList1 = menu("BanList1", "BanList");
    Edit1 = MakeAction(BanList1, "Edit1", "Edit my ban list");
    Scan1 = MakeAction(BanList1, "Scan1", "Scan for unwanted files in selected folder");

    Options1 = menu("Options1", "Options");
    cbRec = MakeCheckItem(Options1, "cbRec", "Recurse subfolders on COMPARE");
    cbMinimize = MakeCheckItem(Options1, "cbMinimize", "Minimize program while comparing");
    tmiRecurse = MakeCheckItem(Options1, "tmiRecurse",
                               "When adding a folder to playlist, add subfolders too");
    tmiVerCheck =
        MakeCheckItem(Options1, "tmiVerCheck", "Automatically check for new version on startup");
    tmiTrash = MakeCheckItem(Options1, "tmiTrash", "Move deleted files to the trash");
    tmiTrash->setChecked(false);  // deletion stays permanent until the user chooses the trash

    Misc1 = menu("Misc1", "Misc");
    Equalizer1 = MakeAction(Misc1, "Equalizer1", "Equalizer");
    Poll1 = MakeAction(Misc1, "Poll1", "Poll (Voting trough Internet)");

    HELP1 = menu("HELP1", "HELP");
    tmiWalk = MakeAction(HELP1, "tmiWalk", "Walktrough");

    pmMain = Named(new QMenu(this), "pmMain");
    Nextsong1 = MakeAction(pmMain, "Nextsong1", "Next song");
    Stopmusic1 = MakeAction(pmMain, "Stopmusic1", "Stop music");
    Close = MakeAction(pmMain, "Close", "Close");

    pmPlayList = Named(new QMenu(this), "pmPlayList");
    tmiPlay = MakeAction(pmPlayList, "tmiPlay", "Play File");
    tmiRemove = MakeAction(pmPlayList, "tmiRemove", "Remove from playlist");
    tmiTag = MakeAction(pmPlayList, "tmiTag", "Edit ID3 Tag");
    tmiLocate = MakeAction(pmPlayList, "tmiLocate", "Locate");
    tmiDelete = MakeAction(pmPlayList, "tmiDelete", "Delete file from disk");

    NextTimer = Named(new QTimer(this), "NextTimer");
    NextTimer->setInterval(500);
}

void TfPrinc::SetWindows(const Windows& windows) {
    windows_ = windows;
}

TfPrinc::OptionControls TfPrinc::Options() const {
    return {cbShuffle, cbRec, cbMinimize, tmiVerCheck, tmiRecurse, tmiTrash, ePerc, eExt};
}

QMenu* TfPrinc::TrayMenu() const {
    return pmMain;
}

QSlider* TfPrinc::VolumeBar() const {
    return tbVolume;
}

QSlider* TfPrinc::PositionBar() const {
    return tbTrack;
}

void TfPrinc::RestorePlaylist(mv::Playlist entries) {
    for (mv::PlaylistEntry& entry : entries) {
        lPlayList->addItem(DisplayText(entry.name));
        playlist.push_back(std::move(entry));
    }
}

void TfPrinc::bCancelClick() {
    bCancel->click();
}

TfStatsHooks TfPrinc::ListEditorHooks() {
    return listEditorHooks_;
}

void TfPrinc::bLStatsClick() {
    if (windows_.stats != nullptr) windows_.stats->ShowModal();
}

void TfPrinc::Poll1Click() {
    if (windows_.poll != nullptr) windows_.poll->ShowModal();
}

void TfPrinc::tmiWalkClick() {
    // The tour runs the commands as the menus run them.
    WalkthroughSteps steps;
    steps.chooseDriveOfType = [this](mv::DriveType type) {
        return ChooseDriveOfType(dialogs_, this, drives_.Drives(), type);
    };
    steps.selectDrive = [this](const std::string& root) { browser_->OpenDriveRootOf(root); };
    steps.openDriveRoot = [this](const std::string& root) { browser_->SetFolder(root); };
    steps.bMakeClick = [this] { scan_->bMakeClick(); };
    steps.bSaveClick = [this] { scan_->bSaveClick(); };
    steps.bLStatsClick = [this] { bLStatsClick(); };
    steps.bCompareClick = [this] { compare_->bCompareClick(); };
    RunWalkthrough(dialogs_, this, steps);
}

void TfPrinc::WireControls() {
    for (QAction* exit : {bClose, Close}) {
        connect(exit, &QAction::triggered, this, [this] {
            if (exitClick) exitClick();
        });
    }
    connect(brefresh, &QPushButton::clicked, this, &TfPrinc::brefreshClick);
    connect(bCompare, &QAction::triggered, this, [this] {
        if (!busy_) compare_->bCompareClick();
    });
    connect(bFolder, &QAction::triggered, this, [this] {
        if (!busy_) compare_->bFolderClick();
    });
    connect(bCancel, &QPushButton::clicked, compare_.get(), &CompareCommands::bCancelClick);
    connect(eExt, &QLineEdit::textChanged, this, &TfPrinc::eExtChange);
    connect(fl, &QListWidget::itemDoubleClicked, this, &TfPrinc::flDblClick);
    connect(fl, &QListWidget::customContextMenuRequested, this, &TfPrinc::flContextPopup);
    connect(bRename, &QPushButton::clicked, this, [this] {
        if (!busy_) rename_->bRenameClick();
    });
    connect(bRenameAll, &QPushButton::clicked, this, [this] {
        if (!busy_) rename_->bRenameAllClick();
    });
    connect(bMake, &QAction::triggered, this, [this] {
        if (!busy_) scan_->bMakeClick();
    });
    connect(bSave, &QAction::triggered, this, [this] {
        if (!busy_) scan_->bSaveClick();
    });
    connect(bLStats, &QAction::triggered, this, [this] {
        if (!busy_) bLStatsClick();
    });
    const auto whenIdle = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, [this, handler] {
            if (!busy_) handler();
        });
    };
    PlaylistHandlers& pl = *playlistHandlers_;
    whenIdle(bPlaylistAdd, [&pl] { pl.bPlaylistAddClick(); });
    whenIdle(bClearPlaylist, [&pl] { pl.bClearPlaylistClick(); });
    whenIdle(bSaveP, [&pl] { pl.bSavePClick(); });
    whenIdle(bLoadP, [&pl] { pl.bLoadPClick(); });
    whenIdle(Equalizer1, [this] {
        if (windows_.equalizer != nullptr) windows_.equalizer->Equalizer1Click();
    });
    connect(Nextsong1, &QAction::triggered, playback_.get(), &PlaybackHandlers::bNextClick);
    connect(Stopmusic1, &QAction::triggered, playback_.get(), &PlaybackHandlers::bStopClick);
    whenIdle(Edit1, [this] { ban_->Edit1Click(); });
    whenIdle(Scan1, [this] { ban_->Scan1Click(); });
    whenIdle(Poll1, [this] { Poll1Click(); });
    connect(tmiWalk, &QAction::triggered, this, [this] {
        if (!busy_) tmiWalkClick();
    });

    // Caption and tooltip feedback follow the pointer.
    client_->setMouseTracking(true);
    client_->installEventFilter(this);
    for (QWidget* w : {lbCompRes->viewport(), lbFile->viewport(), lPlayList->viewport(),
                       static_cast<QWidget*>(bCancel), static_cast<QWidget*>(bRename),
                       static_cast<QWidget*>(bRenameAll)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void TfPrinc::CaptureLayout() {
    std::vector<mv::LayoutRect> rects;
    for (QWidget* w : windowChildren_) rects.push_back(RectOf(w));
    windowShares_ = mv::CaptureShares(rects, width(), height());
    rects.clear();
    for (QWidget* w : panelChildren_) rects.push_back(RectOf(w));
    panelShares_ = mv::CaptureShares(rects, pMC->width(), pMC->height());
    mv::FitSharesIntoWidth(windowShares_);
    captured_ = true;
    FormResize();
}

void TfPrinc::FormResize() {
    if (!captured_) return;
    for (std::size_t i = 0; i < windowChildren_.size(); ++i) {
        const mv::LayoutRect r = mv::PlaceFromShares(windowShares_, i, width(), height());
        windowChildren_[i]->setGeometry(r.left, r.top, r.width, r.height);
    }
    pMCResize();
}

void TfPrinc::pMCResize() {
    if (!captured_) return;
    for (std::size_t i = 0; i < panelChildren_.size(); ++i) {
        const mv::LayoutRect r = mv::PlaceFromShares(panelShares_, i, pMC->width(), pMC->height());
        panelChildren_[i]->setGeometry(r.left, r.top, r.width, r.height);
    }
}

void TfPrinc::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfPrinc::closeEvent(QCloseEvent* event) {
    if (closeQuery && !closeQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TfPrinc::eExtChange() {
    const QString ext = eExt->text();
    browser_->SetExtension(TypedBytes(ext));
    setWindowTitle(mv::ProductCaption(ext));
    bMake->setText(mv::MakeCaption(ext));
    Label3->setText(mv::PercentLabel(ext));
    bLStats->setText(mv::ListEditCaption(ext));
    const bool mp3 = mv::IsMp3Extension(TypedBytes(ext));
    for (QWidget* w : {bRename, bRenameAll}) w->setEnabled(mp3);
    bPlaylistAdd->setEnabled(mp3);
}

void TfPrinc::SetCreditLine(const QString& text) {
    lVersion->setText(text);
}

void TfPrinc::brefreshClick() {
    browser_->Refresh();
}

mv::RemovalPolicy TfPrinc::RemovalPolicy() const {
    mv::RemovalPolicy policy;
    policy.toTrash = tmiTrash->isChecked();
    policy.logFile = programFolder_ / mv::kDeletedFilesLogName;
    return policy;
}

void TfPrinc::PlayFile(const std::string& path) {
    playback_->PlayFile(path);
}

void TfPrinc::SetPlayer(mv::PlayerControl* player) {
    playback_->SetPlayer(player);
    if (windows_.equalizer != nullptr) windows_.equalizer->SetPlayer(player);
}

void TfPrinc::ReadTag(const std::string& path) {
    tag_->ReadTag(path);
}

void TfPrinc::flDblClick() {
    if (!mv::IsMp3Extension(TypedBytes(eExt->text()))) return;
    const std::string file = browser_->SelectedFile();
    if (!file.empty()) PlayFile(file);
}

void TfPrinc::flContextPopup(const QPoint& pos) {
    if (!mv::IsMp3Extension(TypedBytes(eExt->text()))) return;
    QListWidgetItem* item = fl->itemAt(pos);
    if (item == nullptr) {
        fl->clearSelection();
        fl->setCurrentRow(-1);
        return;
    }
    fl->setCurrentItem(item);
    const std::string file = browser_->SelectedFile();
    if (!file.empty()) ReadTag(file);
}

void TfPrinc::EnterBusyState() {
    busy_ = true;
    for (QWidget* w : std::initializer_list<QWidget*>{dc, dl, fl, lbCompRes, lbFile, eExt, ePerc}) {
        w->setEnabled(false);
    }
    for (QAction* menu : MM->actions()) menu->setEnabled(false);
    bRename->setEnabled(false);
    bRenameAll->setEnabled(false);
}

void TfPrinc::LeaveBusyState() {
    for (QWidget* w : std::initializer_list<QWidget*>{lbCompRes, lbFile, eExt, ePerc, dc, dl, fl}) {
        w->setEnabled(true);
    }
    for (QAction* menu : MM->actions()) menu->setEnabled(true);
    bRename->setEnabled(true);
    bRenameAll->setEnabled(true);
    busy_ = false;
}

void TfPrinc::ListMouseMove(QWidget* viewport, const QPoint& pos) {
    auto* list = qobject_cast<QAbstractItemView*>(viewport->parentWidget());
    if (list == nullptr) return;
    const QModelIndex index = list->indexAt(pos);
    if (!index.isValid()) return;
    const QString text = index.data(Qt::DisplayRole).toString();
    setWindowTitle(mv::FeedbackCaption(eExt->text(), text));
    list->setToolTip(text);
}

bool TfPrinc::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        auto* widget = static_cast<QWidget*>(watched);
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (watched == client_) {
            if (client_->childAt(pos) == nullptr) {
                setWindowTitle(mv::FeedbackCaption(eExt->text(), playbackStatus_));
            }
        } else if (widget == bCancel || widget == bRename || widget == bRenameAll) {
            setWindowTitle(widget->toolTip());
        } else {
            ListMouseMove(widget, pos);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
