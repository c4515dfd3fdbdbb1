#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "dupes/windows/result_list_handlers.h"
#include "result_widgets.h"
#include "support/core/scoped_env.h"
#include "support/core/temp_tree.h"

namespace mv {

namespace {

namespace fs = std::filesystem;

using dupestest::L;

std::vector<std::string> Paths(const mv::Playlist& playlist) {
    std::vector<std::string> out;
    for (const mv::PlaylistEntry& e : playlist) out.push_back(e.path);
    return out;
}

ResultRow Files(const std::string& left, const std::string& right) {
    return {left, right, RowKind::FileOnDisk, RowKind::FileOnDisk};
}

class ResultListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        a = tree.File("dir/A.mp3", "aaaa");
        b = tree.File("dir/B.mp3", "bbbbbb");
        c = tree.File("dir/C.mp3", "cc");
        panel.Make();
    }

    ResultListHandlers& H() { return *panel.handlers; }
    ResultPairModel& M() { return panel.handlers->Model(); }
    void Fill(std::vector<ResultRow> rows) {
        M().Clear();
        M().Append(std::move(rows));
        H().SetCommandsEnabled(true);
        panel.lRes->setText(L("3 results in 1 seconds"));
    }
    void Select(std::initializer_list<int> rows) {
        for (int r : rows) {
            panel.lbCompRes->selectionModel()->select(M().index(r, 0), QItemSelectionModel::Select);
        }
    }
    std::vector<std::string> Lefts() {
        std::vector<std::string> out;
        for (const ResultRow& r : M().rows()) out.push_back(r.left);
        return out;
    }
    void AddToPlaylist(const std::string& path) {
        panel.playlist.push_back({fs::path(path).stem().string(), path});
        panel.lPlayList->addItem(QString::fromStdString(fs::path(path).stem().string()));
    }

    mv::test::TempTree tree;
    dupestest::ResultWidgets panel{tree.Root()};
    ScriptedDialogs& dialogs = panel.dialogs;
    std::string a, b, c;
};

TEST_F(ResultListTest, RemoveTakesEveryRowWithTheSelectedLeftFileExactly) {
    // Another file on a case-sensitive disk, never touched by A's removal.
    const std::string lowerA = tree.File("dir/a.mp3");
    Fill({Files(a, b), Files(c, a), Files(a, c), Files(lowerA, b), Files(b, c)});
    Select({2});
    panel.bRemove->trigger();
    // Rows with A on the right stay.
    EXPECT_EQ(Lefts(), (std::vector<std::string>{c, lowerA, b}));
    EXPECT_EQ(M().rows()[0].right, a);
    Select({1});
    panel.bRemove->trigger();
    EXPECT_TRUE(panel.bDelete->isEnabled());
    EXPECT_TRUE(fs::exists(a));  // removing never touches the disk

    Select({0, 1});
    panel.bRemove->trigger();
    EXPECT_EQ(M().rowCount(), 0);
    EXPECT_TRUE(panel.lRes->text().isEmpty());
    for (QAction* act : {panel.bDel, panel.bRemove, panel.bDelete}) {
        EXPECT_FALSE(act->isEnabled());
    }
    EXPECT_TRUE(dialogs.History().empty());
}

TEST_F(ResultListTest, RightListClickSelectsExactlyOneLeftRowAndDeleteKeyRemovesThatPair) {
    Fill({Files(a, b), Files(b, c), Files(c, a)});
    Select({0, 2});
    panel.lbFile->setCurrentIndex(M().index(1, 1));
    H().lbFileClick();
    const QModelIndexList selected = panel.lbCompRes->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().row(), 1);
    EXPECT_EQ(panel.lbCompRes->currentIndex().row(), 1);

    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.lbFile, &del);
    EXPECT_EQ(Lefts(), (std::vector<std::string>{a, c}));

    // And the left list's click moves the right list's current row.
    panel.lbCompRes->setCurrentIndex(M().index(1, 0));
    H().lbCompResClick();
    EXPECT_EQ(panel.lbFile->currentIndex().row(), 1);
}

TEST_F(ResultListTest, XSwapsTheCurrentPairOnlyWhenSwitchingIsAllowed) {
    Fill({Files(a, b), Files(c, a)});
    QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, L("x"));
    panel.lbCompRes->setCurrentIndex(M().index(0, 0));
    QCoreApplication::sendEvent(panel.lbCompRes, &x);  // not after a mode 2 run
    EXPECT_EQ(M().rows()[0].left, a);

    H().SetSwitchAllowed(true);
    QKeyEvent bigX(QEvent::KeyPress, Qt::Key_X, Qt::ShiftModifier, L("X"));
    QCoreApplication::sendEvent(panel.lbCompRes, &bigX);
    EXPECT_EQ(M().rows()[0].left, b);
    EXPECT_EQ(M().rows()[0].right, a);
    EXPECT_EQ(panel.lbCompRes->currentIndex().row(), 0);
    H().lbCompResKeyPress(panel.lbCompRes, L("y"));
    EXPECT_EQ(M().rows()[0].left, b);

    // Deleting the swapped row now deletes what was the right-hand file.
    Select({0});
    dialogs.QueueReply(true);
    panel.bDel->trigger();
    EXPECT_FALSE(fs::exists(b));
    EXPECT_TRUE(fs::exists(a));
}

TEST_F(ResultListTest, DeleteSelectedRemovesFilesEvenReadOnlyAndPurgesThePlaylist) {
    fs::permissions(a, fs::perms::owner_read);
    AddToPlaylist(c);
    AddToPlaylist(a);
    AddToPlaylist(b);
    Fill({Files(a, b), Files(c, a)});
    Select({0});
    dialogs.QueueReply(true);
    panel.bDel->trigger();
    EXPECT_EQ(dialogs.Texts(),
              QStringList{L("Are you sure you want to delete selected file(s)??")});
    // Enter on the question must not delete.
    EXPECT_EQ(dialogs.History()[0].defaultAnswer, DefaultAnswer::Cautious);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_TRUE(fs::exists(b));
    EXPECT_TRUE(fs::exists(c));
    EXPECT_EQ(Lefts(), std::vector<std::string>{c});  // C-A stays
    EXPECT_EQ(Paths(panel.playlist), (std::vector<std::string>{c, b}));
    ASSERT_EQ(panel.lPlayList->count(), 2);
    EXPECT_EQ(panel.lPlayList->item(1)->text(), L("B"));
}

TEST_F(ResultListTest, AnsweringNoKeepsFilesAndRowsButStillPurges) {
    AddToPlaylist(tree.Path("gone.mp3"));
    AddToPlaylist(a);
    Fill({Files(a, b)});
    Select({0});
    dialogs.QueueReply(false);
    panel.bDel->trigger();
    EXPECT_TRUE(fs::exists(a));
    EXPECT_EQ(M().rowCount(), 1);
    EXPECT_EQ(Paths(panel.playlist), std::vector<std::string>{a});

    dialogs.QueueReply(false);
    panel.bDelete->trigger();
    EXPECT_TRUE(fs::exists(a));
    EXPECT_EQ(M().rowCount(), 1);
}

TEST_F(ResultListTest, DeleteAllPassesOverMissingFilesAndEmptiesBothLists) {
    const std::string ro = tree.File("dir/ReadOnly.mp3");
    fs::permissions(ro, fs::perms::owner_read);
    fs::remove(c);  // deleted by hand meanwhile
    Fill({Files(c, a), Files(ro, b), Files(a, b)});
    dialogs.QueueReply(true);
    panel.bDelete->trigger();
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_TRUE(dialogs.Texts()[0].startsWith(L("This will delete ALL files in the left list")));
    EXPECT_EQ(dialogs.History()[0].defaultAnswer, DefaultAnswer::Cautious);
    EXPECT_FALSE(fs::exists(ro));
    EXPECT_FALSE(fs::exists(a));
    EXPECT_TRUE(fs::exists(b));
    EXPECT_EQ(M().rowCount(), 0);
    EXPECT_FALSE(panel.bDel->isEnabled());
    EXPECT_TRUE(panel.lRes->text().isEmpty());
}

// With "Move deleted files to the trash" on, the question says where the files
// go and they can be restored; in both modes every file gone is logged.
TEST_F(ResultListTest, DeleteAllTrashesOrDeletesAsTheOptionSaysAndLogsEachFile) {
    const std::string xdg = tree.Folder("xdg");
    const mv::test::ScopedEnv data("XDG_DATA_HOME", xdg);
    for (const bool toTrash : {true, false}) {
        SCOPED_TRACE(toTrash ? "trash" : "delete");
        const std::string one = tree.File("dir/One.mp3", "11");
        const std::string two = tree.File("dir/Two.mp3", "222");
        fs::remove(tree.Path("DeletedFiles.log"));
        fs::remove_all(xdg + "/Trash");
        panel.toTrash = toTrash;
        Fill({Files(one, b), Files(two, b)});
        dialogs.QueueReply(true);
        panel.bDelete->trigger();
        ASSERT_FALSE(dialogs.Texts().empty());
        EXPECT_EQ(dialogs.Texts().back().contains(L("to the trash")), toTrash)
            << dialogs.Texts().back().toStdString();
        EXPECT_FALSE(fs::exists(one));
        EXPECT_FALSE(fs::exists(two));
        EXPECT_EQ(fs::exists(xdg + "/Trash/files/One.mp3"), toTrash);
        EXPECT_EQ(fs::exists(xdg + "/Trash/info/Two.mp3.trashinfo"), toTrash);
        std::ifstream log(tree.Path("DeletedFiles.log"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        ASSERT_EQ(lines.size(), 2u);
        const std::string action = toTrash ? "\ttrashed\t" : "\tdeleted\t";
        EXPECT_NE(lines[0].find(action + "2\t" + one), std::string::npos) << lines[0];
        EXPECT_NE(lines[1].find(action + "3\t" + two), std::string::npos) << lines[1];
    }
}

// The CSV reads back in Python's csv module field for field, whatever the
// names hold; a Windows-1252 name arrives as the window shows it.
TEST_F(ResultListTest, SaveResultsAsCsvReadsBackInAnIndependentParser) {
    if (std::system("python3 -c 'import csv, json' 2>/dev/null") != 0) {
        GTEST_SKIP() << "python3 is not installed";
    }
    panel.bSaveCsv->trigger();  // no rows yet: nothing to save, and no file dialog
    ASSERT_EQ(dialogs.History().size(), 1u);
    EXPECT_EQ(dialogs.Texts()[0], L("There are no results to save."));

    const std::string odd = tree.File("dir/a, \"b\"\nc.mp3");
    const std::string latin = tree.File("dir/caf\xe9.mp3");
    Fill({Files(odd, latin),
          {a, "/CD1/A,1.mp3", RowKind::FileOnDisk, RowKind::ListLocation},
          {"Search\\x", "/CD1/x.mp3", RowKind::SearchRow, RowKind::ListLocation}});
    dialogs.QueueText(L(tree.Path("out").c_str()));
    panel.bSaveCsv->trigger();
    const std::string csv = tree.Path("out.csv");  // the extension is added
    ASSERT_TRUE(fs::exists(csv));
    const std::string json = tree.Path("rows.json");
    const std::string command =
        "python3 -c 'import csv, json, sys; "
        "json.dump(list(csv.reader(open(sys.argv[1], newline=\"\", "
        "encoding=\"utf-8\"))), open(sys.argv[2], \"w\"))' '" +
        csv + "' '" + json + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(json);
    std::string parsed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string latinUtf8 = tree.Path("dir/caf\xc3\xa9.mp3");
    auto quoted = [](const std::string& text) {
        std::string out = "\"";
        for (char c : text)
            out += c == '\n'  ? std::string("\\n")
                   : c == '"' ? std::string("\\\"")
                              : std::string(1, c);
        return out + "\"";
    };
    const std::string expected =
        "[[\"left\", \"right\", \"left kind\", \"right kind\"], [" + quoted(odd) + ", " +
        quoted(latinUtf8) + ", \"file\", \"file\"], [" + quoted(a) +
        ", \"/CD1/A,1.mp3\", \"file\", \"list location\"], [\"Search\\\\x\", \"/CD1/x.mp3\", "
        "\"search\", \"list location\"]]";
    // Python writes non-ASCII as \u escapes unless told otherwise: compare decoded.
    std::string decoded = parsed;
    for (size_t at; (at = decoded.find("\\u00e9")) != std::string::npos;)
        decoded.replace(at, 6, "\xc3\xa9");
    EXPECT_EQ(decoded, expected);
}

// A file that cannot go (here a folder took its place) keeps its rows and is
// named in one message after the command, with the cause.
TEST_F(ResultListTest, FilesThatCouldNotBeDeletedKeepTheirRowsAndAreReportedOnce) {
    const std::string stuck = tree.Folder("dir/Stuck.mp3");
    Fill({Files(stuck, a), Files(b, c), Files(stuck, c), Files(c, a)});
    Select({0, 1, 2});
    dialogs.QueueReply(true);
    panel.bDel->trigger();
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(Lefts(), (std::vector<std::string>{stuck, stuck, c}));
    ASSERT_EQ(dialogs.Texts().size(), 2);
    EXPECT_EQ(dialogs.Texts()[1], L("This file could not be deleted:\n\n") +
                                      QString::fromStdString(stuck) +
                                      L(" (Is a folder, not a file)"));

    dialogs.ClearHistory();
    dialogs.QueueReply(true);
    panel.bDelete->trigger();
    EXPECT_FALSE(fs::exists(c));
    EXPECT_EQ(Lefts(), (std::vector<std::string>{stuck, stuck}));
    EXPECT_TRUE(panel.bDelete->isEnabled());  // rows are left to act on
    ASSERT_EQ(dialogs.Texts().size(), 2);
    EXPECT_TRUE(dialogs.Texts()[1].startsWith(L("This file could not be deleted:")));
}

// After every command the two lists stand on the same row, and scroll together.
TEST_F(ResultListTest, ListsKeepTheSameCurrentRowAndScrollTogether) {
    panel.window->show();
    std::vector<ResultRow> many;
    for (int k = 0; k < 200; ++k) {
        std::string name = "x";
        name += std::to_string(k);
        many.push_back(Files(tree.Path(name), b));
    }
    Fill(std::move(many));
    QListView* left = panel.lbCompRes;
    QListView* right = panel.lbFile;
    auto expectInStep = [&](int row) {
        EXPECT_EQ(left->currentIndex().row(), row);
        EXPECT_EQ(right->currentIndex().row(), row);
        EXPECT_FALSE(right->selectionModel()->hasSelection());
        EXPECT_EQ(left->verticalScrollBar()->value(), right->verticalScrollBar()->value());
    };

    left->setCurrentIndex(M().index(5, 0));
    H().lbCompResClick();
    Select({5, 6});
    panel.bRemove->trigger();
    expectInStep(5);

    // The mouse wheel (or the scroll bar) moves both lists.
    right->verticalScrollBar()->setValue(40);
    EXPECT_EQ(left->verticalScrollBar()->value(), 40);
    left->verticalScrollBar()->setValue(7);
    EXPECT_EQ(right->verticalScrollBar()->value(), 7);

    // Removing the last rows leaves both lists on the new last row.
    Select({197});
    panel.bRemove->trigger();
    expectInStep(196);

    // A right click on a row of either list makes it current in both.
    H().lbFileContextPopup(left, left->visualRect(M().index(8, 0)).center());
    EXPECT_EQ(right->currentIndex().row(), 8);
    H().lbFileContextPopup(right, right->visualRect(M().index(9, 1)).center());
    EXPECT_EQ(left->currentIndex().row(), 9);
    EXPECT_EQ(left->selectionModel()->selectedIndexes().size(), 1);
}

TEST_F(ResultListTest, RowsThatNameNoFileOnDiskAreNeverDeleted) {
    // Texts that happen to be real paths: only the row's kind decides.
    Fill({{a, "/CD1/A.mp3", RowKind::ListLocation, RowKind::ListLocation},
          {b, "/CD1/B.mp3", RowKind::SearchRow, RowKind::ListLocation},
          {c, tree.Path("dir"), RowKind::ScannedTitle, RowKind::ScannedFolder}});
    Select({0, 1, 2});
    dialogs.QueueReply(true);
    panel.bDel->trigger();
    Fill({{a, "/CD1/A.mp3", RowKind::ListLocation, RowKind::ListLocation}});
    dialogs.QueueReply(true);
    panel.bDelete->trigger();
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(fs::exists(b));
    EXPECT_TRUE(fs::exists(c));
}

TEST_F(ResultListTest, ContextClickOpensTagsByRowKind) {
    panel.window->show();
    // Long enough to hold a tag: the panel opens on them.
    const std::string upper = tree.File("dir/LOUD.MP3", 200);
    tree.File("dir/B.mp3", 200);
    tree.File("dir/A.mp3", 200);
    const std::vector<std::string>& tagged = panel.tagged;  // the files the tag panel opened
    panel.foundFiles = {};
    Fill({Files(a, b),
          {"/CD1/x.mp3", "/CD1/y.mp3", RowKind::ListLocation, RowKind::ListLocation},
          Files(upper, c)});
    auto at = [this](QListView* list, int row) {
        return list->visualRect(M().index(row, 0)).center();
    };
    H().lbFileContextPopup(panel.lbFile, at(panel.lbFile, 0));
    EXPECT_EQ(tagged, std::vector<std::string>{b});
    H().lbFileContextPopup(panel.lbCompRes, at(panel.lbCompRes, 2));  // any letter case
    EXPECT_EQ(tagged, (std::vector<std::string>{b, upper}));
    H().lbFileContextPopup(panel.lbCompRes, at(panel.lbCompRes, 1));
    EXPECT_EQ(dialogs.Texts(), QStringList{L("You can't open this file!")});
    H().lbFileContextPopup(panel.lbCompRes, QPoint(5, panel.lbCompRes->height() - 8));
    EXPECT_EQ(dialogs.Texts().size(), 1);

    // A drive scan's row opens the kept full path, or nothing when the list is shorter.
    Fill({{"song", tree.Path("dir"), RowKind::ScannedTitle, RowKind::ScannedFolder},
          {"tune", tree.Path("dir"), RowKind::ScannedTitle, RowKind::ScannedFolder}});
    panel.foundFiles = {a};
    H().lbFileContextPopup(panel.lbCompRes, at(panel.lbCompRes, 0));
    EXPECT_EQ(tagged, (std::vector<std::string>{b, upper, a}));
    H().lbFileContextPopup(panel.lbCompRes, at(panel.lbCompRes, 1));
    EXPECT_EQ(tagged.size(), 3u);  // no tag panel opens
    EXPECT_EQ(dialogs.Texts().size(), 1);
}

TEST_F(ResultListTest, DoubleClickPlaysFilesAndMovesTheBrowserThere) {
    Fill({Files(a, b), {c, "/CD1/C.mp3", RowKind::FileOnDisk, RowKind::ListLocation}});
    panel.lbFile->setCurrentIndex(M().index(0, 1));
    H().lbCompResDblClick(panel.lbFile);
    EXPECT_EQ(panel.played, std::vector<std::string>{b});
    EXPECT_EQ(panel.browsed, std::vector<std::string>{tree.Path("dir") + "/ | B.mp3"});

    panel.lbFile->setCurrentIndex(M().index(1, 1));
    H().lbCompResDblClick(panel.lbFile);  // a list location plays nothing
    EXPECT_EQ(panel.played.size(), 1u);

    panel.foundFiles = {c, a};
    panel.lbCompRes->setCurrentIndex(M().index(1, 0));
    H().lbCompResDblClick(panel.lbCompRes);
    EXPECT_EQ(panel.played.back(), a);

    panel.eExt->setText(L("wma"));
    H().lbCompResDblClick(panel.lbCompRes);
    EXPECT_EQ(panel.played.size(), 2u);
}

TEST(ResultRows, LargeScatteredRemovalKeepsTheOtherRowsInOrder) {
    mv::test::TestApplication();
    ResultPairModel model;
    std::vector<ResultRow> rows;
    for (int i = 0; i < 200000; ++i) rows.push_back(Files(std::to_string(i), "r"));
    model.Append(std::move(rows));
    std::vector<std::size_t> odd;
    for (std::size_t i = 1; i < 200000; i += 2) odd.push_back(i);
    model.RemoveRows(odd);
    ASSERT_EQ(model.rowCount(), 100000);
    EXPECT_EQ(model.rows()[1].left, "2");
    EXPECT_EQ(model.rows()[99999].left, "199998");
    model.RemoveRows({0, 1, 2});
    EXPECT_EQ(model.rows()[0].left, "6");
    EXPECT_EQ(model.data(model.index(0, 0), ResultPairModel::KindRole).toInt(),
              static_cast<int>(RowKind::FileOnDisk));
}

}  // namespace

}  // namespace mv
