// The playlist commands on their own box: the box and the playlist in step
// through every change, the dialogs answered from a script.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <filesystem>
#include <fstream>

#include "platform/text_lines.h"
#include "player_widgets.h"
#include "support/core/temp_tree.h"

namespace mv {

namespace {

using ::testing::ElementsAre;
using namespace playertest;
namespace fs = std::filesystem;

class PlaylistTest : public ::testing::Test {
  protected:
    PlaylistTest() {
        mv::test::TestApplication();
        PlaylistHooks hooks;
        hooks.playFile = [this](const std::string& p) { played.push_back(p); };
        hooks.readTag = [this](const std::string& p) { tagged.push_back(p); };
        hooks.browserFolder = [this] { return browserFolder; };
        hooks.browseTo = [this](const std::string& f, const std::string& n) {
            located.push_back(f + "|" + n);
        };
        hooks.refreshBrowser = [this] { ++refreshes; };
        hooks.removalPolicy = [this] { return removal; };
        hooks.enterBusyState = [this] { busy.push_back("enter"); };
        hooks.leaveBusyState = [this] { busy.push_back("leave"); };
        handlers = std::make_unique<PlaylistHandlers>(w.Playlist(), dialogs, playlist, tree.Root(),
                                                      std::move(hooks));
        w.window->resize(220, 140);
    }

    void Fill(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            playlist.push_back({n, "/m/" + std::string(n)});
            w.lPlayList->addItem(Q(n));
        }
    }

    // The box shows the playlist row for row.
    void ExpectInStep() {
        ASSERT_EQ(static_cast<size_t>(w.lPlayList->count()), playlist.size());
        for (size_t i = 0; i < playlist.size(); ++i) {
            EXPECT_EQ(w.lPlayList->item(static_cast<int>(i))->text().toStdString(),
                      playlist[i].name);
        }
    }

    // Shows the box with its rows laid out, as the user sees it.
    void ShowLaidOut() {
        w.window->show();
        w.lPlayList->doItemsLayout();
        QCoreApplication::processEvents();
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (const auto& e : playlist) out.push_back(e.name);
        return out;
    }

    mv::test::TempTree tree;
    PanelWidgets w;
    ScriptedDialogs dialogs;
    mv::Playlist playlist;
    std::string browserFolder;
    std::vector<std::string> played, tagged, located, busy;
    mv::RemovalPolicy removal;
    int refreshes = 0;
    std::unique_ptr<PlaylistHandlers> handlers;
};

TEST_F(PlaylistTest, SaveAndLoadRoundTripAndACancelledLoadKeepsThePlaylist) {
    Fill({"a.mp3", "b.mp3"});
    playlist[1].path = "/other folder/b.mp3";
    dialogs.QueueText(QString::fromStdString(tree.Path("mine")));  // no extension: .txt added
    handlers->bSavePClick();
    const fs::path saved = tree.Path("mine.txt");
    EXPECT_EQ(*mv::ReadLines(saved),
              (std::vector<std::string>{"a.mp3", "/m/a.mp3", "b.mp3", "/other folder/b.mp3"}));
    EXPECT_EQ(dialogs.History().back().initial.toStdString(), tree.Root());

    dialogs.QueueText(std::nullopt);
    handlers->bLoadPClick();
    EXPECT_THAT(Names(), ElementsAre("a.mp3", "b.mp3"));

    Fill({"c.mp3"});
    dialogs.QueueText(QString::fromStdString(saved.string()));
    handlers->bLoadPClick();
    EXPECT_EQ(playlist, (mv::Playlist{{"a.mp3", "/m/a.mp3"}, {"b.mp3", "/other folder/b.mp3"}}));
    ExpectInStep();

    // Five lines: two entries, the fifth ignored; loading adds to what is there.
    ASSERT_EQ(mv::WriteLinesAtomically(saved, {"x", "/x.mp3", "y", "/y.mp3", "z"}), "");
    EXPECT_TRUE(handlers->LoadPlaylist(saved));
    EXPECT_THAT(Names(), ElementsAre("a.mp3", "b.mp3", "x", "y"));
    ExpectInStep();
    // An unreadable file adds nothing and says why.
    EXPECT_FALSE(handlers->LoadPlaylist(tree.Path("absent.txt")));
    EXPECT_EQ(playlist.size(), 4u);
}

// A PLS from another player: its missing files told in one message and left
// out; saved as M3U the lengths it gave are kept, and the dialogs offer both.
TEST_F(PlaylistTest, StandardPlaylistsLoadTellMissingFilesOnceAndKeepLengthsOnSave) {
    const std::string a = tree.File("a.mp3");
    const std::string pls = tree.File("in.pls",
                                      "[playlist]\nFile1=a.mp3\nTitle1=Song A\nLength1=61\n"
                                      "File2=gone1.mp3\nFile3=gone2.mp3\nNumberOfEntries=3\n");
    Fill({"old"});
    dialogs.QueueText(QString::fromStdString(pls));
    handlers->bLoadPClick();
    EXPECT_EQ(playlist, (mv::Playlist{{"Song A", a}}));
    ExpectInStep();
    EXPECT_THAT(dialogs.History().front().filter.toStdString(),
                ::testing::AllOf(::testing::HasSubstr("(*.m3u)"), ::testing::HasSubstr("(*.pls)"),
                                 ::testing::HasSubstr("(*.m3u8)")));
    const QStringList texts = dialogs.Texts();
    ASSERT_EQ(texts.size(), 2);  // the file dialog, then one message
    EXPECT_EQ(texts.back().toStdString(), "2 files of the playlist are missing and left out:\n" +
                                              tree.Path("gone1.mp3") + "\n" +
                                              tree.Path("gone2.mp3"));

    dialogs.QueueText(QString::fromStdString(tree.Path("out.m3u")));
    handlers->bSavePClick();
    EXPECT_EQ(*mv::ReadLines(tree.Path("out.m3u")),
              (std::vector<std::string>{"#EXTM3U", "#EXTINF:61,Song A", a}));
    EXPECT_EQ(dialogs.Texts().size(), 3);  // nothing refused, nothing told
}

TEST_F(PlaylistTest, DeleteKeyAndRemoveTakeTheSelectedEntries) {
    Fill({"a", "b", "c", "d", "e"});
    handlers->lPlayListClick();  // multiple selection from the first click
    EXPECT_EQ(w.lPlayList->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (int row : {1, 3}) w.lPlayList->item(row)->setSelected(true);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(w.lPlayList, &del);
    EXPECT_THAT(Names(), ElementsAre("a", "c", "e"));
    ExpectInStep();
    EXPECT_EQ(w.lPlayList->currentRow(), 1);  // before the last removed, "d"

    // Other keys remove nothing.
    w.lPlayList->item(0)->setSelected(true);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(w.lPlayList, &other);
    EXPECT_EQ(playlist.size(), 3u);
    w.lPlayList->clearSelection();
    w.lPlayList->item(0)->setSelected(true);
    w.tmiRemove->trigger();
    EXPECT_THAT(Names(), ElementsAre("c", "e"));
    EXPECT_EQ(w.lPlayList->currentRow(), -1);
    ExpectInStep();
}

TEST_F(PlaylistTest, PopupCommandsActOnTheCurrentEntry) {
    w.tmiPlay->trigger();
    w.tmiTag->trigger();
    w.tmiLocate->trigger();
    EXPECT_TRUE(played.empty() && tagged.empty() && located.empty());  // no current entry

    Fill({"a.mp3", "b.mp3"});
    playlist[1].path = "/x/y/b.mp3";
    w.lPlayList->setCurrentRow(1);
    w.tmiPlay->trigger();
    handlers->lPlayListDblClick();
    w.tmiTag->trigger();
    w.tmiLocate->trigger();
    EXPECT_THAT(played, ElementsAre("/x/y/b.mp3", "/x/y/b.mp3"));
    EXPECT_THAT(tagged, ElementsAre("/x/y/b.mp3"));
    EXPECT_THAT(located, ElementsAre("/x/y|b.mp3"));

    // A right click on an entry makes it current; on empty space it stays.
    w.window->show();
    const QRect first = w.lPlayList->visualItemRect(w.lPlayList->item(0));
    handlers->lPlayListContextPopup(first.center());
    EXPECT_EQ(w.lPlayList->currentRow(), 0);
    w.pmPlayList->hide();
    handlers->lPlayListContextPopup(QPoint(5, w.lPlayList->viewport()->height() - 2));
    EXPECT_EQ(w.lPlayList->currentRow(), 0);
    w.pmPlayList->hide();
}

TEST_F(PlaylistTest, DeleteFromDiskAsksThenDeletesAndRemoves) {
    removal.logFile = tree.Path("DeletedFiles.log");
    const std::string a = tree.File("a.mp3");
    const std::string b = tree.File("b.mp3");
    fs::permissions(b, fs::perms::owner_read, fs::perm_options::replace);  // read-only goes too
    playlist = {{"a.mp3", a}, {"b.mp3", b}, {"gone.mp3", tree.Path("gone.mp3")}};
    w.lPlayList->addItems({Q("a.mp3"), Q("b.mp3"), Q("gone.mp3")});
    handlers->lPlayListClick();
    for (int row : {1, 2}) w.lPlayList->item(row)->setSelected(true);

    dialogs.QueueReply(false);
    w.tmiDelete->trigger();
    EXPECT_TRUE(fs::exists(b));
    EXPECT_EQ(playlist.size(), 3u);
    EXPECT_EQ(dialogs.Texts().back(), Q("Are you sure you want to delete selected file(s)??"));

    dialogs.QueueReply(true);
    w.tmiDelete->trigger();
    EXPECT_FALSE(fs::exists(b));
    EXPECT_TRUE(fs::exists(a));
    EXPECT_THAT(Names(), ElementsAre("a.mp3"));  // a file that would not go leaves too
    ExpectInStep();
    EXPECT_EQ(refreshes, 1);
    // The one file that went is logged, through the program's one way of removing files.
    std::ifstream log(removal.logFile);
    std::string line, more;
    std::getline(log, line);
    EXPECT_NE(line.find("\tdeleted\t1\t" + b), std::string::npos) << line;
    EXPECT_FALSE(std::getline(log, more)) << more;
}

TEST_F(PlaylistTest, AddingAFolderAppendsItsFilesWithOrWithoutSubfolders) {
    tree.File("music/b.mp3");
    tree.File("music/a.mp3");
    tree.File("music/x.wma");
    tree.File("music/sub/c.mp3");
    browserFolder = tree.Path("music");
    Fill({"a.mp3"});
    playlist[0].path = tree.Path("music/A.mp3");  // known in other letter case
    w.tmiRecurse->setChecked(false);
    handlers->bPlaylistAddClick();
    EXPECT_THAT(Names(), ElementsAre("a.mp3", "b.mp3"));
    w.tmiRecurse->setChecked(true);
    handlers->bPlaylistAddClick();
    EXPECT_THAT(Names(), ElementsAre("a.mp3", "b.mp3", "c.mp3"));
    ExpectInStep();
    EXPECT_THAT(busy, ElementsAre("enter", "leave", "enter", "leave"));
    handlers->bClearPlaylistClick();
    EXPECT_TRUE(playlist.empty());
    ExpectInStep();
}

TEST_F(PlaylistTest, FilesWithALineBreakInTheirNamesAreRefusedInOneMessage) {
    tree.File("music/a\nb.mp3");
    tree.File("music/ok.mp3");
    tree.File("music/sub/c\rd.mp3");
    browserFolder = tree.Path("music");
    w.tmiRecurse->setChecked(true);
    handlers->bPlaylistAddClick();
    EXPECT_THAT(Names(), ElementsAre("ok.mp3"));
    ExpectInStep();
    ASSERT_EQ(dialogs.Texts().size(), 1);
    const std::string text = dialogs.Texts()[0].toStdString();
    EXPECT_THAT(text, ::testing::HasSubstr(tree.Path("music") + "/a\\nb.mp3"));
    EXPECT_THAT(text, ::testing::HasSubstr(tree.Path("music") + "/sub/c\\rd.mp3"));
}

TEST_F(PlaylistTest, DropsMoveTheCurrentEntryWhereverTheDragCameFrom) {
    w.window->show();
    const auto dropAt = [this](const QPoint& pos) {
        QMimeData mime;  // from anywhere: the drop looks only at the current entry
        mime.setText(Q("from the file list"));
        // The box takes the drag on entering, then gets its drop.
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(w.lPlayList->viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(pos), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(w.lPlayList->viewport(), &drop);
        EXPECT_TRUE(drop.isAccepted());
    };
    const auto rowCenter = [this](int row) {
        return w.lPlayList->visualItemRect(w.lPlayList->item(row)).center();
    };
    struct Case {
        int current;
        int dropRow;  // -1: below the last row, -2: outside the box
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {4, 2, {"a", "b", "e", "c", "d"}},
        {0, 2, {"b", "c", "a", "d", "e"}},
        {1, -1, {"a", "c", "d", "e", "b"}},
        {3, -2, {"d", "a", "b", "c", "e"}},
    };
    for (const Case& c : cases) {
        playlist.clear();
        w.lPlayList->clear();
        Fill({"a", "b", "c", "d", "e"});
        ShowLaidOut();
        w.lPlayList->setCurrentRow(c.current);
        QPoint pos;
        if (c.dropRow >= 0) {
            pos = rowCenter(c.dropRow);
        } else if (c.dropRow == -1) {
            pos = QPoint(5, w.lPlayList->viewport()->height() - 2);
        } else {
            pos = QPoint(-10, -10);
        }
        dropAt(pos);
        EXPECT_EQ(Names(), c.names) << c.current << " onto " << c.dropRow;
        ExpectInStep();
        for (const auto& e : playlist) EXPECT_EQ(e.path, "/m/" + e.name);
    }
}

TEST_F(PlaylistTest, DraggingNearTheEdgesScrollsByOneRow) {
    w.window->show();
    for (int i = 0; i < 40; ++i) Fill({"row"});
    ShowLaidOut();
    QScrollBar* bar = w.lPlayList->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 3);
    bar->setValue(2);
    const int rowHeight = w.lPlayList->sizeHintForRow(0);
    QMimeData mime;
    QDragEnterEvent enter(QPoint(5, 40), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.lPlayList->viewport(), &enter);
    const auto dragTo = [&](const QPoint& pos) {
        QDragMoveEvent move(pos, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.lPlayList->viewport(), &move);
        EXPECT_TRUE(move.isAccepted());
    };
    dragTo(QPoint(5, 1));  // over the top visible row
    EXPECT_EQ(bar->value(), 1);
    dragTo(QPoint(5, w.lPlayList->viewport()->height() - rowHeight / 2));
    EXPECT_EQ(bar->value(), 2);
    dragTo(QPoint(5, rowHeight * 2 + 1));  // the middle: no scrolling
    EXPECT_EQ(bar->value(), 2);
}

}  // namespace

}  // namespace mv
