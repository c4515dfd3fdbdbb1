#pragma once

// TfPrinc: the main window. It builds, places and wires its controls; the work
// of each subsystem lives in a small class it owns (the result lists in
// ResultListHandlers, the browser in FileBrowser, ...). Its controls are its
// own; each one's objectName is its design name. The shell fills the hooks
// and calls CaptureLayout() first thing in its start-up.

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/windows/tf_stats.h"
#include "platform/drives.h"
#include "player/playlist_file.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QSlider;

namespace mv {

class CompareCommands;
class Dialogs;
class FileBrowser;
class PlaybackHandlers;
class ResultListHandlers;
class TagPanelHandlers;
class TfEQ;
class TfPoll;
struct MainWindowUi;
struct TfPrincHandlers;
class PlayerControl;

class TfPrinc : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kDesignWidth = 804;
    static constexpr int kDesignHeight = 606;
    // Smaller, the music panel's labels run into its bars and the boxes cut texts.
    static constexpr int kMinimumWidth = kDesignWidth * 85 / 100;
    static constexpr int kMinimumHeight = kDesignHeight * 85 / 100;

    TfPrinc(Dialogs& dialogs, const mv::DriveList& drives, std::filesystem::path programFolder,
            QWidget* parent = nullptr);
    ~TfPrinc() override;

    // closeEvent asks closeQuery (unset: the window closes). hideToTray and
    // showFromTray around a comparison with "Minimize program while comparing"
    // (unset: hide(); show(), raise(), activateWindow()). exitClick: the two
    // Exit actions (File > Exit, the tray menu's Close). The tray tip and the
    // desktop's media service follow the music.
    std::function<bool()> closeQuery;
    std::function<void()> hideToTray;
    std::function<void()> showFromTray;
    std::function<void()> exitClick;
    std::function<void(const QString&)> setTrayTip;  // unset: no tip
    std::function<void()> playerStateChanged;

    // The secondary windows src/app makes and hands over; without one, its command does nothing.
    struct Windows {
        TfStats* stats = nullptr;
        TfPoll* poll = nullptr;
        TfEQ* equalizer = nullptr;
    };
    void SetWindows(const Windows& windows);
    // What the list editor asks of this window: its search runs through the
    // comparison, and it steps through the locations the right list then holds.
    TfStatsHooks ListEditorHooks();

    // What the shell binds: the options the ini file keeps, the tray menu, the music bars.
    struct ShellControls {
        QCheckBox* cbShuffle = nullptr;
        QAction *cbRec = nullptr, *cbMinimize = nullptr, *tmiVerCheck = nullptr,
                *tmiRecurse = nullptr, *tmiTrash = nullptr, *tmiAlwaysBetter = nullptr,
                *tmiWriteId3v2 = nullptr, *tmiNameFromId3v2 = nullptr, *tmiWindowsSafe = nullptr;
        QLineEdit *ePerc = nullptr, *eExt = nullptr;
        QMenu* pmMain = nullptr;
        QSlider *tbVolume = nullptr, *tbTrack = nullptr;
    };
    ShellControls Controls() const;
    // Where the facts of the result pairs are kept between runs; unset: nowhere.
    void SetFactsCache(const std::filesystem::path& file);
    // The last session's playlist: its entries join the playlist and its box.
    void RestorePlaylist(mv::Playlist entries);

    mv::Playlist playlist;  // entry k is lPlayList's row k
    // The drive scan's full paths, one per result row; emptied by every comparison.
    std::vector<std::string> foundFiles;

    // The handler classes the shell and the tests reach.
    FileBrowser& Browser();
    ResultListHandlers& Results();
    CompareCommands& Compare();
    TagPanelHandlers& TagPanel();
    PlaybackHandlers& Playback();
    // The audio player component (null until the shell made it); PlayFile adds
    // the file to the playlist and plays it.
    void SetPlayer(mv::PlayerControl* player);
    void PlayFile(const std::string& path);

    void CaptureLayout();
    void FormResize();
    bool LayoutCaptured() const;

    void SetPlaybackStatus(const QString& status) { playbackStatus_ = status; }
    void SetCreditLine(const QString& text);
    void brefreshClick();
    void flDblClick();
    void flContextPopup(const QPoint& pos);
    // Stop, as a click on it: ends whatever long operation runs.
    void bCancelClick();

    // Busy state: no second command can start while a long operation runs.
    void EnterBusyState();
    void LeaveBusyState();
    bool IsBusy() const { return busy_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void MakeResultHandlers();
    void MakeCompareHandlers();
    void MakeFileToolHandlers();
    void MakePlayerHandlers();
    void WireControls();
    void WireMenus();
    void eExtChange();
    void tmiWalkClick();

    Dialogs& dialogs_;
    const mv::DriveList& drives_;
    std::filesystem::path programFolder_;
    std::unique_ptr<MainWindowUi> ui_;    // the controls; Qt owns what they point to
    std::unique_ptr<TfPrincHandlers> h_;  // the handler classes, made in tf_princ_handlers.cpp
    Windows windows_;
    TfStatsHooks listEditorHooks_;
    bool busy_ = false;
    QString playbackStatus_;
};

}  // namespace mv
