#pragma once

// TfPrinc: the main window. It builds, places and wires its controls; the work
// of each subsystem lives in a small class it owns (the result lists in
// ResultListHandlers, the browser in FileBrowser).
//
// Hooks for the application shell:
//   closeQuery      consulted by closeEvent; true lets the window close. The shell
//                   hides to the tray (or minimises) there and answers false.
//                   Unset: the close goes ahead.
//   hideToTray      hides the window while comparing with "Minimize program while
//                   comparing"; unset: hide().
//   showFromTray    shows the window again at the end of a comparison; unset:
//                   show(), raise(), activateWindow().
//   bCancel         Stop: a click stops the running comparison.
//   bClose, Close   the two Exit actions (File menu, tray menu pmMain); the shell
//                   connects them. pmMain is the tray menu.
//   cbRec, cbMinimize, tmiRecurse, tmiVerCheck, tmiTrash  checkable option actions; a click
//                   flips the mark; the shell reads and sets them.
//   ePerc, eExt     set their text to apply settings; eExt's change runs eExtChange.
//   CaptureLayout() the shell calls it first thing in its start-up.
//   Browser()       the file browser (OpenDriveRootOf for the start folder).
//   SetCreditLine() the longer credit line of start-up.
//   setTrayTip, playerStateChanged  follow the music (tray tip, media service).

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/windows/tf_stats.h"
#include "platform/drives.h"
#include "platform/file_ops.h"
#include "platform/program_folder.h"
#include "player/playlist_file.h"
#include "ui/common/proportional_layout.h"

class BanCommands;
class CompareCommands;
class PlaybackHandlers;
class PlaylistHandlers;
class TfEQ;
namespace mv {
class PlayerControl;
}
class DriveScanCommands;
class TfPoll;
class Dialogs;
class FileBrowser;
class ResultListHandlers;
class RenameCommands;
class TagPanelHandlers;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;

class TfPrinc : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kDesignLeft = 98;
    static constexpr int kDesignTop = 93;
    static constexpr int kDesignWidth = 804;
    static constexpr int kDesignHeight = 606;
    // Below this size (85% of the design) the music panel's labels run into
    // its bars and the edit boxes cut their texts.
    static constexpr int kMinimumWidth = kDesignWidth * 85 / 100;
    static constexpr int kMinimumHeight = kDesignHeight * 85 / 100;

    TfPrinc(Dialogs& dialogs, const mv::DriveList& drives, std::filesystem::path programFolder,
            QWidget* parent = nullptr);
    ~TfPrinc() override;

    // Hooks of the shell (see the top of this file).
    std::function<bool()> closeQuery;
    std::function<void()> hideToTray;
    std::function<void()> showFromTray;
    // The tray icon's tip, which follows the music; unset: no tip.
    std::function<void(const QString&)> setTrayTip;
    // The music's state or song changed (the desktop's media service follows).
    std::function<void()> playerStateChanged;
    // The two Exit actions (File > Exit, the tray menu's Close); unset: nothing.
    std::function<void()> exitClick;

    // The secondary windows the application makes (src/app) and hands over; a
    // command whose window was not handed over does nothing.
    struct Windows {
        TfStats* stats = nullptr;
        TfPoll* poll = nullptr;
        TfEQ* equalizer = nullptr;
    };
    void SetWindows(const Windows& windows);

    // What the application shell reaches: the controls the settings file fills
    // at start-up and reads at Exit, the tray menu pmMain, the music bars.
    struct OptionControls {
        QCheckBox* cbShuffle = nullptr;
        QAction *cbRec = nullptr, *cbMinimize = nullptr, *tmiVerCheck = nullptr,
                *tmiRecurse = nullptr, *tmiTrash = nullptr;
        QLineEdit *ePerc = nullptr, *eExt = nullptr;
    };
    OptionControls Options() const;
    QMenu* TrayMenu() const;
    QSlider* VolumeBar() const;
    QSlider* PositionBar() const;
    // The last session's playlist: its entries join the playlist and its box.
    void RestorePlaylist(mv::Playlist entries);
    // Stop, as a click on it: ends whatever long operation runs.
    void bCancelClick();
    // What the list editor asks of this window: its search runs through the
    // comparison, and it steps through the locations the right list then holds.
    TfStatsHooks ListEditorHooks();

    // Direct children of the window, in their child order.
    QComboBox* dc = nullptr;
    QPushButton* brefresh = nullptr;
    QPushButton* bRename = nullptr;
    QPushButton* bRenameAll = nullptr;
    QLabel* Label13 = nullptr;
    QListWidget* dl = nullptr;
    QListWidget* fl = nullptr;
    QFrame* pTag = nullptr;
    QFrame* pMC = nullptr;
    QListWidget* lPlayList = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* ePerc = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* eExt = nullptr;
    QPushButton* bCancel = nullptr;
    QLabel* lRes = nullptr;
    QProgressBar* gp = nullptr;
    QLabel* lList = nullptr;
    QLabel* lRef = nullptr;
    QListView* lbCompRes = nullptr;
    QListView* lbFile = nullptr;
    QLabel* lVersion = nullptr;

    // Children of pTag (they keep their design places inside the panel).
    QLabel *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr,
           *Label8 = nullptr, *Label9 = nullptr;
    QLineEdit *eTitle = nullptr, *eArtist = nullptr, *eAlbum = nullptr, *eYear = nullptr,
              *eComment = nullptr;
    QPushButton *bSaveTag = nullptr, *bCancelTag = nullptr;

    // Children of pMC, in their child order.
    QLabel *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr;
    QSlider *tbPitch = nullptr, *tbVolume = nullptr;
    QPushButton *bStop = nullptr, *bPause = nullptr;
    QCheckBox* cbShuffle = nullptr;
    QSlider* tbTrack = nullptr;
    QPushButton* bNext = nullptr;

    // Main menu MM.
    QMenuBar* MM = nullptr;
    QMenu *File1 = nullptr, *Dupes1 = nullptr, *List1 = nullptr, *Compareresults1 = nullptr,
          *Playlist1 = nullptr, *BanList1 = nullptr, *Options1 = nullptr, *Misc1 = nullptr,
          *HELP1 = nullptr;
    QAction* bClose = nullptr;
    QAction *bCompare = nullptr, *bFolder = nullptr;
    QAction *bMake = nullptr, *bLStats = nullptr, *bSave = nullptr;
    QAction *bDel = nullptr, *bRemove = nullptr, *bDelete = nullptr;
    QAction* bSaveCsv = nullptr;
    QAction *bPlaylistAdd = nullptr, *bClearPlaylist = nullptr, *bSaveP = nullptr,
            *bLoadP = nullptr;
    QAction *Edit1 = nullptr, *Scan1 = nullptr;
    QAction *cbRec = nullptr, *cbMinimize = nullptr, *tmiRecurse = nullptr, *tmiVerCheck = nullptr;
    QAction* tmiTrash = nullptr;  // "Move deleted files to the trash"
    QAction *Equalizer1 = nullptr, *Poll1 = nullptr, *tmiWalk = nullptr;

    // Popup menus: the tray's and the playlist's.
    QMenu* pmMain = nullptr;
    QAction *Nextsong1 = nullptr, *Stopmusic1 = nullptr, *Close = nullptr;
    QMenu* pmPlayList = nullptr;
    QAction *tmiPlay = nullptr, *tmiRemove = nullptr, *tmiTag = nullptr, *tmiLocate = nullptr,
            *tmiDelete = nullptr;

    QTimer* NextTimer = nullptr;

    // The playlist: entry k is lPlayList's row k.
    mv::Playlist playlist;
    // The drive scan's full paths, one per result row; emptied by every comparison.
    std::vector<std::string> foundFiles;

    const std::filesystem::path& ProgramFolder() const { return programFolder_; }
    FileBrowser& Browser() { return *browser_; }
    ResultListHandlers& Results() { return *results_; }
    // The comparison commands (bCompareClick, bFolderClick, bCancelClick, RunCompare).
    CompareCommands& Compare() { return *compare_; }
    // The drive scan and saving (bMakeClick, bSaveClick).
    DriveScanCommands& Scan() { return *scan_; }
    // The BanList menu (Edit1Click, Scan1Click) and the ban list editor fBan.
    BanCommands& Ban() { return *ban_; }
    Dialogs& DialogsSeam() { return dialogs_; }

    // Layout.
    void CaptureLayout();
    void FormResize();
    void pMCResize();
    bool LayoutCaptured() const { return captured_; }

    // Extension box and feedback.
    void eExtChange();
    void SetPlaybackStatus(const QString& status) { playbackStatus_ = status; }
    void SetCreditLine(const QString& text);

    // Browser commands.
    void brefreshClick();
    void flDblClick();
    void flContextPopup(const QPoint& pos);
    // List > Edit Mp3 list: the list editor, modal.
    void bLStatsClick();
    // Misc > Poll: the poll window, modal; and the version check's splash.
    void Poll1Click();
    // The guided tour of the main use (HELP > Walktrough).
    void tmiWalkClick();
    // Plays a file, adding it to the playlist (the playback handlers).
    void PlayFile(const std::string& path);
    // How every delete command of the program removes a user's file: the
    // trash switch and the deletion log in the program folder.
    mv::RemovalPolicy RemovalPolicy() const;
    // Fills the tag panel from the file at `path` and shows it (the file list,
    // the result lists and the playlist's "Edit ID3 Tag" come here).
    void ReadTag(const std::string& path);
    // The tag panel (bSaveTagClick, bCancelTagClick, the tag file).
    TagPanelHandlers& TagPanel() { return *tag_; }
    // Rename and Rename All with the naming model.
    RenameCommands& Renaming() { return *rename_; }
    // The music panel, the playlist box and its menus, the equalizer window.
    PlaybackHandlers& Playback() { return *playback_; }
    PlaylistHandlers& PlaylistCommands() { return *playlistHandlers_; }
    // The audio player component both send to; null until the shell made it.
    void SetPlayer(mv::PlayerControl* player);

    // Busy state: no second command can start while a long operation runs.
    void EnterBusyState();
    void LeaveBusyState();
    bool IsBusy() const { return busy_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildTagPanel();
    void BuildMusicPanel();
    void BuildMenus();
    void WireControls();
    void ListMouseMove(QWidget* list, const QPoint& pos);

    Dialogs& dialogs_;
    const mv::DriveList& drives_;
    std::filesystem::path programFolder_;
    QWidget* client_ = nullptr;
    std::unique_ptr<FileBrowser> browser_;
    std::unique_ptr<ResultListHandlers> results_;
    std::unique_ptr<CompareCommands> compare_;
    std::unique_ptr<DriveScanCommands> scan_;
    std::unique_ptr<BanCommands> ban_;  // owns the ban list editor
    std::unique_ptr<TagPanelHandlers> tag_;
    std::unique_ptr<RenameCommands> rename_;
    std::unique_ptr<PlaybackHandlers> playback_;
    std::unique_ptr<PlaylistHandlers> playlistHandlers_;
    Windows windows_;
    TfStatsHooks listEditorHooks_;

    std::vector<QWidget*> windowChildren_;
    std::vector<mv::LayoutRect> windowDesign_;
    std::vector<QWidget*> panelChildren_;
    std::vector<mv::LayoutRect> panelDesign_;
    mv::LayoutShares windowShares_;
    mv::LayoutShares panelShares_;
    bool captured_ = false;
    bool busy_ = false;
    QString playbackStatus_;
};
