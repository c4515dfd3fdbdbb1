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
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "catalogue/windows/drive_chooser.h"
#include "catalogue/windows/tf_stats.h"
#include "filetools/ban_list.h"
#include "net/windows/tf_poll.h"
#include "platform/file_ops.h"
#include "platform/program_folder.h"
#include "player/windows/tf_eq.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"
#include "ui/main/caption_feedback.h"
#include "ui/main/main_window_ui.h"
#include "ui/main/tf_princ_handlers.h"
#include "ui/main/walkthrough.h"

namespace mv {

namespace {

constexpr int kDesignLeft = 98;
constexpr int kDesignTop = 93;

}  // namespace

TfPrinc::TfPrinc(Dialogs& dialogs, const mv::DriveList& drives, std::filesystem::path programFolder,
                 QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      drives_(drives),
      programFolder_(std::move(programFolder)),
      ui_(std::make_unique<MainWindowUi>()),
      h_(std::make_unique<TfPrincHandlers>()) {
    setObjectName(DisplayText("fPrinc"));
    setWindowTitle(DisplayText("Mp3 Vandrel"));
    // The design font is an 11-pixel sans serif; the nearest the desktop has.
    QFont design = font();
    design.setFamilies({DisplayText("MS Sans Serif"), DisplayText("Liberation Sans"),
                        DisplayText("Arial"), DisplayText("DejaVu Sans Condensed")});
    design.setPixelSize(11);
    setFont(design);

    BuildMainWindowUi(this, *ui_);
    MakeResultHandlers();
    MakeCompareHandlers();
    MakeFileToolHandlers();
    MakePlayerHandlers();
    WireControls();
    WireMenus();

    std::error_code ec;
    h_->browser->OpenDriveRootOf(std::filesystem::current_path(ec).string());
    setGeometry(kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
}

TfPrinc::~TfPrinc() = default;

FileBrowser& TfPrinc::Browser() {
    return *h_->browser;
}
ResultListHandlers& TfPrinc::Results() {
    return *h_->results;
}
CompareCommands& TfPrinc::Compare() {
    return *h_->compare;
}
TagPanelHandlers& TfPrinc::TagPanel() {
    return *h_->tag;
}
PlaybackHandlers& TfPrinc::Playback() {
    return *h_->playback;
}

void TfPrinc::SetWindows(const Windows& windows) {
    windows_ = windows;
}

TfPrinc::ShellControls TfPrinc::Controls() const {
    ShellControls c;
    c.cbShuffle = ui_->playback.cbShuffle;
    c.cbRec = ui_->compare.cbRec;
    c.cbMinimize = ui_->compare.cbMinimize;
    c.tmiVerCheck = ui_->tmiVerCheck;
    c.tmiRecurse = ui_->playlist.tmiRecurse;
    c.tmiTrash = ui_->tmiTrash;
    c.tmiAlwaysBetter = ui_->facts.tmiAlwaysBetter;
    c.tmiWriteId3v2 = ui_->tag.tmiWriteId3v2;
    c.tmiNameFromId3v2 = ui_->tmiNameFromId3v2;
    c.tmiWindowsSafe = ui_->tmiWindowsSafe;
    c.ePerc = ui_->compare.ePerc;
    c.eExt = ui_->compare.eExt;
    c.pmMain = ui_->pmMain;
    c.tbVolume = ui_->playback.tbVolume;
    c.tbTrack = ui_->playback.tbTrack;
    return c;
}

void TfPrinc::SetFactsCache(const std::filesystem::path& file) {
    h_->pairFacts->SetCacheFile(file);
    h_->soundCheck->SetCacheFile(file);
    h_->soundSearch->SetCacheFile(file);
    h_->playlistLengths->SetCacheFile(file);
}

void TfPrinc::RestorePlaylist(mv::Playlist entries) {
    for (mv::PlaylistEntry& entry : entries) {
        ui_->playlist.lPlayList->addItem(DisplayText(entry.name));
        playlist.push_back(std::move(entry));
    }
}

void TfPrinc::bCancelClick() {
    ui_->scan.bCancel->click();
}

TfStatsHooks TfPrinc::ListEditorHooks() {
    return listEditorHooks_;
}

void TfPrinc::tmiWalkClick() {
    // The tour runs the commands as the menus run them.
    WalkthroughSteps steps;
    steps.chooseDriveOfType = [this](mv::DriveType type) {
        return ChooseDriveOfType(dialogs_, this, drives_.Drives(), type);
    };
    steps.selectDrive = [this](const std::string& root) { h_->browser->OpenDriveRootOf(root); };
    steps.openDriveRoot = [this](const std::string& root) { h_->browser->SetFolder(root); };
    steps.bMakeClick = [this] { h_->scan->bMakeClick(); };
    steps.bSaveClick = [this] { h_->scan->bSaveClick(); };
    steps.bLStatsClick = [this] {
        if (windows_.stats != nullptr) windows_.stats->ShowModal();
    };
    steps.bCompareClick = [this] { h_->compare->bCompareClick(); };
    RunWalkthrough(dialogs_, this, steps);
}

// The controls of the client area, and the caption that follows the pointer.
void TfPrinc::WireControls() {
    const MainWindowUi& ui = *ui_;
    connect(ui.brefresh, &QPushButton::clicked, this, &TfPrinc::brefreshClick);
    connect(ui.scan.bCancel, &QPushButton::clicked, h_->compare.get(),
            &CompareCommands::bCancelClick);
    connect(ui.compare.eExt, &QLineEdit::textChanged, this, &TfPrinc::eExtChange);
    connect(ui.fl, &QListWidget::itemDoubleClicked, this, &TfPrinc::flDblClick);
    connect(ui.fl, &QListWidget::customContextMenuRequested, this, &TfPrinc::flContextPopup);
    connect(ui.bRename, &QPushButton::clicked, this, [this] {
        if (!busy_) h_->rename->bRenameClick();
    });
    connect(ui.bRenameAll, &QPushButton::clicked, this, [this] {
        if (!busy_) h_->rename->bRenameAllClick();
    });

    PointerCaptionParams caption;
    caption.window = this;
    caption.client = ui.client;
    caption.lists = {ui.results.lbCompRes, ui.results.lbFile, ui.playlist.lPlayList};
    caption.buttons = {ui.scan.bCancel, ui.bRename, ui.bRenameAll};
    caption.extension = [this] { return ui_->compare.eExt->text(); };
    caption.status = [this] { return playbackStatus_; };
    h_->pointerCaption = std::make_unique<PointerCaption>(std::move(caption));
}

// The main menu's commands the window runs itself (the handlers connect their
// own), and the tray menu's. No command starts while the window is busy.
void TfPrinc::WireMenus() {
    const MainWindowUi& ui = *ui_;
    const auto whenIdle = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, [this, handler] {
            if (!busy_) handler();
        });
    };
    for (QAction* exit : {ui.bClose, ui.Close}) {
        connect(exit, &QAction::triggered, this, [this] {
            if (exitClick) exitClick();
        });
    }
    whenIdle(ui.bCompare, [this] { h_->compare->bCompareClick(); });
    whenIdle(ui.bFolder, [this] { h_->compare->bFolderClick(); });
    whenIdle(ui.bSoundFolder, [this] { h_->soundSearch->bSoundFolderClick(); });
    whenIdle(ui.bMake, [this] { h_->scan->bMakeClick(); });
    whenIdle(ui.compare.bSave, [this] { h_->scan->bSaveClick(); });
    whenIdle(ui.bLStats, [this] {
        if (windows_.stats != nullptr) windows_.stats->ShowModal();
    });
    PlaylistHandlers& pl = *h_->playlistHandlers;
    whenIdle(ui.bPlaylistAdd, [&pl] { pl.bPlaylistAddClick(); });
    whenIdle(ui.bClearPlaylist, [&pl] { pl.bClearPlaylistClick(); });
    whenIdle(ui.bSaveP, [&pl] { pl.bSavePClick(); });
    whenIdle(ui.bLoadP, [&pl] { pl.bLoadPClick(); });
    whenIdle(ui.Equalizer1, [this] {
        if (windows_.equalizer != nullptr) windows_.equalizer->Equalizer1Click();
    });
    whenIdle(ui.Edit1, [this] { h_->ban->Edit1Click(); });
    whenIdle(ui.Scan1, [this] { h_->ban->Scan1Click(); });
    whenIdle(ui.Poll1, [this] {
        if (windows_.poll != nullptr) windows_.poll->ShowModal();
    });
    whenIdle(ui.tmiWalk, [this] { tmiWalkClick(); });
    whenIdle(ui.tmiUndoRename, [this] { h_->rename->tmiUndoRenameClick(); });
    // The journal may change behind the window (the tool's rename): asked each time.
    connect(qobject_cast<QMenu*>(ui.tmiUndoRename->parent()), &QMenu::aboutToShow, this,
            [this] { ui_->tmiUndoRename->setEnabled(h_->rename->CanUndo()); });
    connect(ui.Nextsong1, &QAction::triggered, h_->playback.get(), &PlaybackHandlers::bNextClick);
    connect(ui.Stopmusic1, &QAction::triggered, h_->playback.get(), &PlaybackHandlers::bStopClick);
}

void TfPrinc::CaptureLayout() {
    ui_->windowLayout.Capture(width(), height(), true);
    ui_->panelLayout.Capture(ui_->pMC->width(), ui_->pMC->height(), false);
    FormResize();
}

void TfPrinc::FormResize() {
    ui_->windowLayout.Apply(width(), height());
    ui_->panelLayout.Apply(ui_->pMC->width(), ui_->pMC->height());
    QFrame* pTag = ui_->tag.pTag;
    pTag->resize(std::max(pTag->width(), kTagPanelWidth),
                 std::max(pTag->height(), kTagPanelHeight));
}

bool TfPrinc::LayoutCaptured() const {
    return ui_->windowLayout.Captured();
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
    const MainWindowUi& ui = *ui_;
    const QString ext = ui.compare.eExt->text();
    h_->browser->SetExtension(TypedBytes(ext));
    setWindowTitle(mv::ProductCaption(ext));
    ui.bMake->setText(mv::MakeCaption(ext));
    ui.Label3->setText(mv::PercentLabel(ext));
    ui.bLStats->setText(mv::ListEditCaption(ext));
    const bool mp3 = mv::IsMp3Extension(TypedBytes(ext));
    for (QWidget* w : {ui.bRename, ui.bRenameAll}) w->setEnabled(mp3);
    ui.bPlaylistAdd->setEnabled(mp3);
}

void TfPrinc::SetCreditLine(const QString& text) {
    ui_->lVersion->setText(text);
}

void TfPrinc::brefreshClick() {
    h_->browser->Refresh();
}

void TfPrinc::PlayFile(const std::string& path) {
    h_->playback->PlayFile(path);
}

void TfPrinc::SetPlayer(mv::PlayerControl* player) {
    h_->playback->SetPlayer(player);
    if (windows_.equalizer != nullptr) windows_.equalizer->SetPlayer(player);
}

void TfPrinc::flDblClick() {
    if (!mv::IsMp3Extension(TypedBytes(ui_->compare.eExt->text()))) return;
    const std::string file = h_->browser->SelectedFile();
    if (!file.empty()) PlayFile(file);
}

void TfPrinc::flContextPopup(const QPoint& pos) {
    if (!mv::IsMp3Extension(TypedBytes(ui_->compare.eExt->text()))) return;
    QListWidget* fl = ui_->fl;
    QListWidgetItem* item = fl->itemAt(pos);
    if (item == nullptr) {
        fl->clearSelection();
        fl->setCurrentRow(-1);
        return;
    }
    fl->setCurrentItem(item);
    const std::string file = h_->browser->SelectedFile();
    if (!file.empty()) h_->tag->ReadTag(file);
}

void TfPrinc::EnterBusyState() {
    const MainWindowUi& ui = *ui_;
    busy_ = true;
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui.dc, ui.dl, ui.fl, ui.results.lbCompRes,
                                         ui.results.lbFile, ui.compare.eExt, ui.compare.ePerc}) {
        w->setEnabled(false);
    }
    for (QAction* menu : ui.MM->actions()) menu->setEnabled(false);
    ui.bRename->setEnabled(false);
    ui.bRenameAll->setEnabled(false);
}

void TfPrinc::LeaveBusyState() {
    const MainWindowUi& ui = *ui_;
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui.results.lbCompRes, ui.results.lbFile, ui.compare.eExt,
                                         ui.compare.ePerc, ui.dc, ui.dl, ui.fl}) {
        w->setEnabled(true);
    }
    for (QAction* menu : ui.MM->actions()) menu->setEnabled(true);
    ui.bRename->setEnabled(true);
    ui.bRenameAll->setEnabled(true);
    busy_ = false;
}

}  // namespace mv
