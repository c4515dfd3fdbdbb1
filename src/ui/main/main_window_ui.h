#pragma once

#include "catalogue/windows/drive_scan_commands.h"
#include "dupes/windows/compare_commands.h"
#include "dupes/windows/pair_facts_handlers.h"
#include "dupes/windows/result_list_handlers.h"
#include "dupes/windows/sound_check_handlers.h"
#include "filetools/windows/ban_commands.h"
#include "filetools/windows/tag_panel_handlers.h"
#include "player/windows/playback_handlers.h"
#include "player/windows/playlist_handlers.h"
#include "ui/main/proportional_children.h"

class QComboBox;
class QMainWindow;
class QMenuBar;

namespace mv {

// The main window's controls, built in code at their design places, each with
// its design name as objectName. Each handler's Widgets struct is filled where
// its controls are made; a control two handlers share is set in both, and read
// through the first struct that names it. Qt owns every control (the window is
// the parent of them all); they are used on the window's thread only.
struct MainWindowUi {
    // The handlers' controls.
    ResultListWidgets results;
    CompareWidgets compare;
    DriveScanWidgets scan;
    BanWidgets ban;
    TagPanelWidgets tag;
    PlaybackWidgets playback;
    PlaylistWidgets playlist;
    PairFactsWidgets facts;
    SoundCheckWidgets sound;

    // What only the window itself touches: the browser, the rename buttons,
    // the labels that follow the extension, the menus it wires.
    QWidget* client = nullptr;
    QComboBox* dc = nullptr;
    QListWidget *dl = nullptr, *fl = nullptr;
    QPushButton *brefresh = nullptr, *bRename = nullptr, *bRenameAll = nullptr;
    QLabel *Label3 = nullptr, *lVersion = nullptr;
    QFrame* pMC = nullptr;
    QMenuBar* MM = nullptr;
    QAction *bClose = nullptr, *bCompare = nullptr, *bFolder = nullptr, *bMake = nullptr,
            *bLStats = nullptr;
    QAction* bSoundFolder = nullptr;  // "Find sound-alike duplicates in the folder"
    QAction *bPlaylistAdd = nullptr, *bClearPlaylist = nullptr, *bSaveP = nullptr,
            *bLoadP = nullptr;
    QAction *Edit1 = nullptr, *Scan1 = nullptr, *tmiVerCheck = nullptr, *tmiTrash = nullptr;
    QAction *tmiNameFromId3v2 = nullptr, *tmiWindowsSafe = nullptr, *tmiUndoRename = nullptr;
    QAction *Equalizer1 = nullptr, *Poll1 = nullptr, *tmiWalk = nullptr;
    QMenu* pmMain = nullptr;  // the tray's menu
    QAction *Nextsong1 = nullptr, *Stopmusic1 = nullptr, *Close = nullptr;

    // The window's children and the music panel's keep their proportions.
    ProportionalChildren windowLayout;
    ProportionalChildren panelLayout;
};

// The tag panel's design size: its children keep their design places, so the
// panel never shrinks below it.
inline constexpr int kTagPanelWidth = 289, kTagPanelHeight = 209;

// Builds every control of `window` into `ui`: the client area's children, the
// tag panel, the music panel, the main menu, the two popup menus and the
// playlist's timer. Nothing is connected yet.
void BuildMainWindowUi(QMainWindow* window, MainWindowUi& ui);

}  // namespace mv
