#include "ui/main/main_window_ui.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "mv_version.h"
#include "ui/common/display_text.h"
#include "ui/common/fitting_label.h"

namespace mv {

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

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption,
                        const char* tip = nullptr) {
    auto* button = Named(new QPushButton(DisplayText(caption), parent), name);
    if (tip != nullptr) button->setToolTip(DisplayText(tip));
    return button;
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
    return Named(menu->addAction(DisplayText(caption)), name);
}

QAction* MakeCheckItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = MakeAction(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameShape(QFrame::Panel);
    return panel;
}

// The browser row and the panels beside it: the drive box, the folder and file
// lists, the tag panel over the file list, the music panel and the playlist.
void BuildBrowserArea(MainWindowUi& ui) {
    QWidget* client = ui.client;
    ProportionalChildren& at = ui.windowLayout;
    ui.dc = Named(new QComboBox(client), "dc");
    at.Place(ui.dc, {4, 0, 141, 19});
    ui.brefresh = MakeButton(client, "brefresh", "Refresh");
    at.Place(ui.brefresh, {152, 0, 65, 17});
    ui.bRename =
        MakeButton(client, "bRename", "Rename", "Will rename selected file in the file list below");
    at.Place(ui.bRename, {224, 0, 145, 17});
    ui.bRenameAll = MakeButton(client, "bRenameAll", "Rename All",
                               "Will rename all files in the selected folder");
    at.Place(ui.bRenameAll, {368, 0, 145, 17});
    at.Place(MakeLabel(client, "Label13", "PLAYLIST", true), {520, 0, 273, 17});
    ui.dl = Named(new QListWidget(client), "dl");
    ui.dl->setUniformItemSizes(true);
    at.Place(ui.dl, {6, 24, 215, 217});
    ui.fl = Named(new QListWidget(client), "fl");
    ui.fl->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.fl->setDragEnabled(true);
    ui.fl->setContextMenuPolicy(Qt::CustomContextMenu);
    at.Place(ui.fl, {224, 24, 289, 185});
    QFrame* pTag = MakePanel(client, "pTag");
    pTag->setAutoFillBackground(true);
    // Over the file list and the music panel's heading.
    at.Place(pTag, {224, 24, kTagPanelWidth, kTagPanelHeight});
    ui.tag.pTag = ui.compare.pTag = pTag;
    ui.pMC = MakePanel(client, "pMC");
    at.Place(ui.pMC, {224, 208, 289, 121});
    auto* lPlayList = Named(new QListWidget(client), "lPlayList");
    lPlayList->setUniformItemSizes(true);
    lPlayList->setDragEnabled(true);
    lPlayList->setContextMenuPolicy(Qt::CustomContextMenu);
    at.Place(lPlayList, {516, 24, 277, 305});
    ui.results.lPlayList = ui.playback.lPlayList = ui.playlist.lPlayList = lPlayList;
}

// The option boxes, Stop, the gauge and the two result lists with their captions.
void BuildCompareArea(MainWindowUi& ui) {
    QWidget* client = ui.client;
    ProportionalChildren& at = ui.windowLayout;
    ui.Label3 = MakeLabel(client, "Label3", "Min % word for the files to match:", false);
    at.Place(ui.Label3, {4, 248, 155, 13});
    ui.compare.ePerc = Named(new QLineEdit(DisplayText("80"), client), "ePerc");
    ui.compare.ePerc->setMaxLength(2);
    at.Place(ui.compare.ePerc, {184, 248, 33, 21});
    at.Place(MakeLabel(client, "Label1", "Extension to be used:", false), {4, 272, 102, 13});
    auto* eExt = Named(new QLineEdit(DisplayText("Mp3"), client), "eExt");
    eExt->setMaxLength(4);
    at.Place(eExt, {184, 272, 33, 21});
    ui.results.eExt = ui.compare.eExt = ui.scan.eExt = ui.playlist.eExt = eExt;
    ui.scan.bCancel =
        MakeButton(client, "bCancel", "Stop current operation", "Stop current comparison");
    at.Place(ui.scan.bCancel, {6, 304, 215, 25});
    ui.results.lRes = ui.compare.lRes = ui.scan.lRes = MakeLabel(client, "lRes", "", false);
    at.Place(ui.results.lRes, {611, 334, 184, 13});
    auto* gp = Named(new QProgressBar(client), "gp");
    gp->setRange(0, 100);
    gp->setValue(0);
    gp->setTextVisible(false);
    gp->setStyleSheet(DisplayText("QProgressBar::chunk { background-color: maroon; }"));
    at.Place(gp, {6, 336, 603, 12});
    ui.compare.gp = gp;
    ui.compare.lList = ui.scan.lList =
        MakeLabel(client, "lList", "Duplicate List (Will delete files HERE)", true);
    at.Place(ui.compare.lList, {6, 352, 387, 13});
    ui.compare.lRef = ui.scan.lRef =
        MakeLabel(client, "lRef", "Duplicate Reference (Press X to switch filenames)", true);
    at.Place(ui.compare.lRef, {392, 352, 403, 13});
    ui.results.lbCompRes = Named(new QListView(client), "lbCompRes");
    ui.results.lbCompRes->setSelectionMode(QAbstractItemView::ExtendedSelection);
    at.Place(ui.results.lbCompRes, {4, 368, 393, 169});
    ui.results.lbFile = Named(new QListView(client), "lbFile");
    ui.results.lbFile->setSelectionMode(QAbstractItemView::SingleSelection);
    at.Place(ui.results.lbFile, {396, 368, 397, 169});
    for (QListView* list : {ui.results.lbCompRes, ui.results.lbFile}) {
        // Long result lists stay quick when every row has the same height.
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    ui.lVersion = MakeLabel(client, "lVersion",
                            "Mp3 Vandrel - the Mp3 Vandrel authors - mp3vandrel@localhost - "
                            "http://localhost:8080/ - Version " MV_VERSION,
                            true);
    at.Place(ui.lVersion, {0, 544, 793, 13});
    // The facts of the current pair, each side under its list.
    ui.facts.lLeftFacts = MakeLabel(client, "lLeftFacts", "", false);
    at.Place(ui.facts.lLeftFacts, {6, 560, 387, 15});
    ui.facts.lRightFacts = MakeLabel(client, "lRightFacts", "", false);
    at.Place(ui.facts.lRightFacts, {396, 560, 397, 15});
    ui.facts.lbCompRes = ui.results.lbCompRes;
    ui.facts.lRes = ui.results.lRes;
    ui.facts.gp = ui.compare.gp;
    ui.facts.bCancel = ui.scan.bCancel;
    ui.sound.gp = ui.compare.gp;
    ui.sound.bCancel = ui.scan.bCancel;
}

// The tag panel's children keep their design places inside the panel.
void BuildTagPanel(TagPanelWidgets& tag) {
    QFrame* pTag = tag.pTag;
    QLabel* heading = MakeLabel(pTag, "Label4", "ID3 TAG", false);
    heading->setGeometry(120, 8, 72, 21);
    QFont title = heading->font();
    title.setPixelSize(19);
    title.setBold(true);
    heading->setFont(title);
    const char* labelNames[] = {"Label5", "Label6", "Label7", "Label8", "Label9"};
    const char* labelTexts[] = {"Title (%1)", "Artist (%2)", "Album (%3)", "Year (%4)",
                                "Comment (%5)"};
    const char* editNames[] = {"eTitle", "eArtist", "eAlbum", "eYear", "eComment"};
    QLineEdit** edits[] = {&tag.eTitle, &tag.eArtist, &tag.eAlbum, &tag.eYear, &tag.eComment};
    for (int i = 0; i < 5; ++i) {
        const int top = 32 + 24 * i;
        MakeLabel(pTag, labelNames[i], labelTexts[i], false)->setGeometry(16, top, 78, 21);
        QLineEdit* edit = Named(new QLineEdit(pTag), editNames[i]);
        const bool year = i == 3;
        edit->setMaxLength(year ? 4 : 30);
        edit->setGeometry(96, top, year ? 49 : 177, 21);
        *edits[i] = edit;
    }
    // The ID3v2 (else APE) tag, read-only: a long one scrolls, the tip shows it whole.
    tag.lRichTag = Named(new QLineEdit(pTag), "lRichTag");
    tag.lRichTag->setReadOnly(true);
    tag.lRichTag->setGeometry(8, 152, 176, 21);
    tag.bCopyToId3v1 = MakeButton(pTag, "bCopyToId3v1", "Copy to ID3v1",
                                  "Fills the boxes above from the ID3v2 tag");
    tag.bCopyToId3v1->setGeometry(188, 152, 93, 21);
    tag.bCopyToId3v1->setEnabled(false);
    tag.bSaveTag = MakeButton(pTag, "bSaveTag", "Save");
    tag.bSaveTag->setGeometry(40, 178, 89, 25);
    tag.bCancelTag = MakeButton(pTag, "bCancelTag", "Cancel");
    tag.bCancelTag->setGeometry(168, 178, 89, 25);
    pTag->hide();
}

void BuildMusicPanel(QFrame* pMC, PlaybackWidgets& music, ProportionalChildren& at) {
    QLabel* heading = MakeLabel(pMC, "Label10", "Music Control", true);
    QFont title = heading->font();
    title.setPixelSize(19);
    title.setItalic(true);
    heading->setFont(title);
    at.Place(heading, {8, 2, 273, 25});
    at.Place(MakeLabel(pMC, "Label11", "Speed", true), {16, 24, 113, 17});
    at.Place(MakeLabel(pMC, "Label12", "Volume", true), {160, 24, 105, 17});
    music.tbPitch = MakeSlider(pMC, "tbPitch", 2000, 1000, 10);
    at.Place(music.tbPitch, {8, 40, 129, 25});
    music.tbVolume = MakeSlider(pMC, "tbVolume", 100, 100, 10);
    at.Place(music.tbVolume, {152, 40, 129, 25});
    music.bStop = MakeButton(pMC, "bStop", "Stop");
    music.bStop->setEnabled(false);
    at.Place(music.bStop, {16, 64, 89, 17});
    music.bPause = MakeButton(pMC, "bPause", "Pause");
    music.bPause->setEnabled(false);
    at.Place(music.bPause, {120, 64, 89, 17});
    music.cbShuffle = Named(new QCheckBox(DisplayText("Shuffle"), pMC), "cbShuffle");
    music.cbShuffle->setChecked(true);
    at.Place(music.cbShuffle, {216, 63, 65, 20});
    music.tbTrack = MakeSlider(pMC, "tbTrack", 400, 0, 1);
    // Lower than designed, so that the time fits under it.
    at.Place(music.tbTrack, {16, 88, 241, 18});
    music.bNext = MakeButton(pMC, "bNext", "-->");
    at.Place(music.bNext, {256, 90, 25, 15});
    // Elapsed / total under the bar.
    music.lTime = MakeLabel(pMC, "lTime", "0:00 / 0:00", true);
    QFont small = music.lTime->font();
    small.setPixelSize(10);
    music.lTime->setFont(small);
    at.Place(music.lTime, {16, 106, 241, 13});
}

// A top-level menu; its caption's "&" marks the letter Alt opens it with
// (each menu its own: File, Dupes, List, Compare results, Playlist, BanList,
// Options, Misc, HELP).
QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption) {
    return Named(bar->addMenu(DisplayText(caption)), name);
}

// File, Dupes, List and Compare results.
void BuildFileAndDupesMenus(MainWindowUi& ui) {
    QMenu* file = AddMenu(ui.MM, "File1", "&File");
    // Exit stays the menu's first item, where a user's hands know it to be.
    ui.bClose = MakeAction(file, "bClose", "Exit");
    ui.bClose->setShortcut(QKeySequence(Qt::Key_F10));
    ui.tmiUndoRename = MakeAction(file, "tmiUndoRename", "Undo last rename");
    ui.tmiUndoRename->setEnabled(false);  // until the journal holds a batch

    QMenu* dupes = AddMenu(ui.MM, "Dupes1", "&Dupes");
    ui.bCompare = MakeAction(dupes, "bCompare", "Compare selected foder with my list");
    ui.bCompare->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    ui.bFolder = MakeAction(dupes, "bFolder", "Find dupes in the folder");
    ui.bFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    ui.bSoundFolder =
        MakeAction(dupes, "bSoundFolder", "Find sound-alike duplicates in the folder");
    ui.bSoundFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));

    QMenu* list = AddMenu(ui.MM, "List1", "&List");
    ui.bMake = MakeAction(list, "bMake", "Find all mp3 on this drive");
    ui.bMake->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    ui.bLStats = MakeAction(list, "bLStats", "Edit Mp3 list");
    ui.bLStats->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    ui.compare.bSave = ui.scan.bSave = MakeAction(list, "bSave", "Save found files to list");
    ui.compare.bSave->setEnabled(false);

    QMenu* results = AddMenu(ui.MM, "Compareresults1", "&Compare results");
    ui.results.bDel = MakeAction(results, "bDel", "Delete selected file(s)");
    ui.results.bRemove = MakeAction(results, "bRemove", "Remove selected file(s) from list");
    ui.results.bDelete = MakeAction(results, "bDelete", "Delete all");
    ui.results.bSaveCsv = MakeAction(results, "bSaveCsv", "Save results as CSV...");
    for (QAction* a : {ui.results.bDel, ui.results.bRemove, ui.results.bDelete}) {
        a->setEnabled(false);
    }
    ui.facts.bKeepBetter = MakeAction(results, "bKeepBetter", "Keep the better copy");
    ui.facts.bKeepSameAudio = MakeAction(results, "bKeepSameAudio", "Keep only same-audio pairs");
    ui.sound.bCheckSound = MakeAction(results, "bCheckSound", "Check the sound of the pairs");
    ui.sound.bKeepSameRecording =
        MakeAction(results, "bKeepSameRecording", "Keep only same-recording pairs");
}

// Playlist, BanList, Options, Misc and HELP.
void BuildToolMenus(MainWindowUi& ui) {
    QMenu* playlist = AddMenu(ui.MM, "Playlist1", "&Playlist");
    ui.bPlaylistAdd = MakeAction(playlist, "bPlaylistAdd", "Add directory to playlist");
    ui.bClearPlaylist = MakeAction(playlist, "bClearPlaylist", "Clear Playlist");
    ui.bSaveP = MakeAction(playlist, "bSaveP", "Save Playlist");
    ui.bLoadP = MakeAction(playlist, "bLoadP", "Load Playlist");

    QMenu* ban = AddMenu(ui.MM, "BanList1", "&BanList");
    ui.Edit1 = MakeAction(ban, "Edit1", "Edit my ban list");
    ui.Scan1 = MakeAction(ban, "Scan1", "Scan for unwanted files in selected folder");

    QMenu* options = AddMenu(ui.MM, "Options1", "&Options");
    ui.compare.cbRec = ui.ban.cbRec =
        MakeCheckItem(options, "cbRec", "Recurse subfolders on COMPARE");
    ui.compare.cbMinimize =
        MakeCheckItem(options, "cbMinimize", "Minimize program while comparing");
    ui.playlist.tmiRecurse = MakeCheckItem(options, "tmiRecurse",
                                           "When adding a folder to playlist, add subfolders too");
    ui.tmiVerCheck =
        MakeCheckItem(options, "tmiVerCheck", "Automatically check for new version on startup");
    ui.tmiTrash = MakeCheckItem(options, "tmiTrash", "Move deleted files to the trash");
    ui.tmiTrash->setChecked(false);  // deletion stays permanent until the user chooses the trash
    ui.facts.tmiAlwaysBetter =
        MakeCheckItem(options, "tmiAlwaysBetter", "Always keep the better copy");
    ui.facts.tmiAlwaysBetter->setChecked(false);  // the comparison's own rule holds by default
    // Off, tags and names are as they always were.
    ui.tag.tmiWriteId3v2 = MakeCheckItem(options, "tmiWriteId3v2", "Also write ID3v2 when saving");
    ui.tmiNameFromId3v2 =
        MakeCheckItem(options, "tmiNameFromId3v2", "Name from ID3v2 when present");
    ui.tmiWindowsSafe =
        MakeCheckItem(options, "tmiWindowsSafe", "Replace characters Windows cannot store");
    for (QAction* a : {ui.tag.tmiWriteId3v2, ui.tmiNameFromId3v2, ui.tmiWindowsSafe}) {
        a->setChecked(false);
    }
    MakeAction(options, "tmiServer", "Server...");  // the shell opens its dialog

    QMenu* misc = AddMenu(ui.MM, "Misc1", "&Misc");
    ui.Equalizer1 = MakeAction(misc, "Equalizer1", "Equalizer");
    ui.Poll1 = MakeAction(misc, "Poll1", "Poll (Voting trough Internet)");

    QMenu* help = AddMenu(ui.MM, "HELP1", "&HELP");
    ui.tmiWalk = MakeAction(help, "tmiWalk", "Walktrough");
    MakeAction(help, "tmiAbout", "About");  // the shell shows it
}

// The tray's menu, the playlist's menu and the timer that moves to the next song.
void BuildPopups(QMainWindow* window, MainWindowUi& ui) {
    ui.pmMain = Named(new QMenu(window), "pmMain");
    ui.Nextsong1 = MakeAction(ui.pmMain, "Nextsong1", "Next song");
    ui.Stopmusic1 = MakeAction(ui.pmMain, "Stopmusic1", "Stop music");
    ui.Close = MakeAction(ui.pmMain, "Close", "Close");

    PlaylistWidgets& pl = ui.playlist;
    pl.pmPlayList = Named(new QMenu(window), "pmPlayList");
    pl.tmiPlay = MakeAction(pl.pmPlayList, "tmiPlay", "Play File");
    pl.tmiRemove = MakeAction(pl.pmPlayList, "tmiRemove", "Remove from playlist");
    pl.tmiTag = MakeAction(pl.pmPlayList, "tmiTag", "Edit ID3 Tag");
    pl.tmiLocate = MakeAction(pl.pmPlayList, "tmiLocate", "Locate");
    pl.tmiDelete = MakeAction(pl.pmPlayList, "tmiDelete", "Delete file from disk");

    ui.playback.NextTimer = Named(new QTimer(window), "NextTimer");
    ui.playback.NextTimer->setInterval(500);
}

}  // namespace

void BuildMainWindowUi(QMainWindow* window, MainWindowUi& ui) {
    ui.results.window = ui.compare.window = ui.scan.window = ui.ban.window = window;
    ui.tag.window = ui.playback.window = ui.playlist.window = window;
    ui.client = Named(new QWidget(window), "client");
    window->setCentralWidget(ui.client);
    BuildBrowserArea(ui);
    BuildTagPanel(ui.tag);
    BuildMusicPanel(ui.pMC, ui.playback, ui.panelLayout);
    BuildCompareArea(ui);
    ui.MM = Named(window->menuBar(), "MM");
    BuildFileAndDupesMenus(ui);
    BuildToolMenus(ui);
    BuildPopups(window, ui);
}

}  // namespace mv
