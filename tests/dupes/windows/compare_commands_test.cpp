#include "dupes/windows/compare_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "compare_widgets.h"
#include "dupes/windows/result_list_handlers.h"
#include "support/core/temp_tree.h"

namespace mv {

namespace {

using dupestest::L;

// A core that reports what it was asked and, when told to, waits for Stop.
struct FakeCore {
    std::atomic<bool> waitForStop{false};
    std::atomic<int> runs{0};
    mv::CompareParams seen;
    std::vector<std::vector<mv::CompareRow>> batches;
    bool noFiles = false;                    // a run with nothing to compare
    std::vector<std::string> foldersUnread;  // reported as passed over

    mv::CompareResult Run(const mv::CompareParams& p, mv::CompareControl& control) {
        ++runs;
        seen.mode = p.mode;
        seen.folders = p.folders;
        seen.listedFolders = p.listedFolders;
        seen.ext = p.ext;
        seen.percentText = p.percentText;
        seen.listLines = p.listLines;
        control.pairsTotal = 10;
        for (auto batch : batches) {
            control.pairsDone = control.pairsDone + 1;
            p.onRows(std::move(batch));
        }
        mv::CompareResult r;
        r.foldersPassedOver = foldersUnread;
        if (noFiles) {
            control.pairsTotal = 0;
            r.messages = {"This Directory contains no Mp3s!"};
            return r;
        }
        if (waitForStop) {
            const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!control.stopRequested && std::chrono::steady_clock::now() < limit) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        r.cancelled = control.stopRequested;
        r.resultText = "2 results in 0.5 seconds";
        r.messages = {r.cancelled ? "Comparison Cancelled" : "Comparison finished"};
        return r;
    }
};

class CompareCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        music = tree.Folder("drive/Music");
        w.folder = tree.Path("drive");
        CompareBackend backend;
        backend.run = [this](const mv::CompareParams& p, mv::CompareControl& c) {
            return core.Run(p, c);
        };
        backend.collectFolderFiles = [this](const std::string& root, const std::string& ext,
                                            const mv::FolderWalkHooks&) {
            w.calls.push_back("collect " + root + " " + ext);
            mv::FolderFilesCollection collected;
            collected.folders = {{root, {}, {}}, {root + "/Sub", {}, {}}};
            return collected;
        };
        backend.parsePercent = [](const std::string& t) -> std::optional<int> {
            if (t.empty() || t.find_first_not_of("0123456789") != std::string::npos) return {};
            return std::stoi(t);
        };
        w.MakeCommands(backend);
        M().Append({{"old", "row", mv::RowKind::FileOnDisk, mv::RowKind::FileOnDisk}});
        w.foundFiles = {"/some/scan"};
        w.pTag->show();
    }
    ResultPairModel& M() { return w.handlers->Model(); }
    CompareCommands& C() { return *w.commands; }

    mv::test::TempTree tree;
    dupestest::CompareWidgetsFixture w{tree.Root()};
    ScriptedDialogs& dialogs = w.dialogs;
    FakeCore core;
    std::string music;
};

TEST_F(CompareCommandsTest, FolderCommandRunsModeTwoInsideTheBusyStateAndEndsShown) {
    w.folder = music;
    w.cbRec->setChecked(false);
    core.batches = {{{music + "/a.mp3", music + "/b.mp3"}}, {{music + "/c.mp3", music + "/d.mp3"}}};
    bool busyDuringRun = false;
    QTimer::singleShot(0, [&] { busyDuringRun = w.busy; });
    C().bFolderClick();

    EXPECT_EQ(core.seen.mode, mv::kModeFolderVsItself);
    EXPECT_EQ(core.seen.folders, std::vector<std::string>{music});
    EXPECT_EQ(core.seen.ext, "Mp3");
    EXPECT_FALSE(core.seen.listLines.has_value());
    EXPECT_TRUE(busyDuringRun);
    EXPECT_FALSE(w.busy);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"hide", "show"}));
    EXPECT_FALSE(w.pTag->isVisibleTo(w.window.get()));
    EXPECT_TRUE(w.foundFiles.empty());

    ASSERT_EQ(M().rowCount(), 2);  // the old row went, both batches landed in order
    EXPECT_EQ(M().rows()[1].left, music + "/c.mp3");
    EXPECT_EQ(M().rows()[1].rightKind, mv::RowKind::FileOnDisk);
    EXPECT_TRUE((*w.handlers).SwitchAllowed());
    EXPECT_EQ(w.lRef->text(), L("Duplicate Reference (Press X to switch filenames)"));
    EXPECT_EQ(w.lRes->text(), L("2 results in 0.5 seconds"));
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison finished")});
    EXPECT_TRUE(w.bDel->isEnabled() && w.bRemove->isEnabled() && w.bDelete->isEnabled());
    EXPECT_FALSE(w.bSave->isEnabled());
    EXPECT_EQ(w.gp->value(), 0);
}

TEST_F(CompareCommandsTest, CompareWithListReadsTheListAndCollectsFoldersWhenRecursing) {
    tree.File("mp3list.TXT", "\\Mp3 List\r\n\\CD1\r\nSong A.mp3\r\n");
    w.folder = music;
    w.cbMinimize->setChecked(false);
    core.batches = {{{music + "/Song A.mp3", "/CD1/Song A.mp3"}}};
    C().bCompareClick();

    EXPECT_EQ(w.calls, (std::vector<std::string>{"collect " + music + " Mp3", "show"}));
    ASSERT_TRUE(core.seen.listedFolders.has_value());
    ASSERT_EQ(core.seen.listedFolders->size(), 2u);
    EXPECT_EQ((*core.seen.listedFolders)[1].folder, music + "/Sub");
    EXPECT_EQ(core.seen.mode, mv::kModeFolderVsList);
    ASSERT_TRUE(core.seen.listLines.has_value());
    EXPECT_EQ(core.seen.listLines->size(), 3u);
    ASSERT_EQ(M().rowCount(), 1);
    EXPECT_EQ(M().rows()[0].rightKind, mv::RowKind::ListLocation);
    EXPECT_FALSE((*w.handlers).SwitchAllowed());
    EXPECT_EQ(w.lRef->text(), L("Duplicate Reference"));
}

// With the one-walk collection the run gets every folder with its files, so
// it reads none again; the folders compared stay known to the window.
TEST_F(CompareCommandsTest, OneWalkCollectionHandsTheListedFilesToTheRun) {
    tree.File("drive/Music/a.mp3");
    tree.File("drive/Music/Sub/b.MP3");
    tree.File("drive/Music/Sub/notes.txt");
    CompareBackend backend;
    backend.run = [this](const mv::CompareParams& p, mv::CompareControl& c) {
        return core.Run(p, c);
    };
    backend.collectFolderFiles = &mv::CollectFolderFiles;
    backend.parsePercent = [](const std::string&) -> std::optional<int> { return 80; };
    C().SetBackend(backend);
    w.folder = music;
    w.cbMinimize->setChecked(false);
    C().bFolderClick();

    EXPECT_EQ(w.calls, (std::vector<std::string>{"show"}));
    ASSERT_TRUE(core.seen.listedFolders.has_value());
    ASSERT_EQ(core.seen.listedFolders->size(), 2u);
    EXPECT_EQ((*core.seen.listedFolders)[0].files, std::vector<std::string>{"a.mp3"});
    EXPECT_EQ((*core.seen.listedFolders)[1].files, std::vector<std::string>{"b.MP3"});
    EXPECT_EQ(C().CompareFolders(), (std::vector<std::string>{music, music + "/Sub"}));
}

// The walk runs beside the window: while it reads, the window still answers,
// and Stop ends the walk and the run, reported as a stopped comparison.
TEST_F(CompareCommandsTest, StopIsHeardWhileTheFoldersAreWalked) {
    tree.File("drive/Music/a.mp3");
    std::atomic<bool> walkSawStop{false};
    CompareBackend backend;
    backend.run = [this](const mv::CompareParams& p, mv::CompareControl& c) {
        return core.Run(p, c);
    };
    backend.collectFolderFiles = [&](const std::string& root, const std::string& ext,
                                     const mv::FolderWalkHooks& hooks) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!hooks.stop->load() && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        walkSawStop = hooks.stop->load();
        return mv::CollectFolderFiles(root, ext, hooks);
    };
    backend.parsePercent = [](const std::string&) -> std::optional<int> { return 80; };
    C().SetBackend(backend);
    w.folder = music;
    w.cbMinimize->setChecked(false);
    QTimer::singleShot(20, w.window.get(), [this] { C().bCancelClick(); });
    C().bFolderClick();

    EXPECT_TRUE(walkSawStop);
    EXPECT_EQ(core.runs, 1);
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison Cancelled")});
    EXPECT_FALSE(C().Running());
}

// A list that is there but cannot be read (here a pipe, which must not block
// the window) is named with its cause; nothing runs and the rows stay.
TEST_F(CompareCommandsTest, UnreadableListIsNamedAndNothingRuns) {
    ASSERT_EQ(::mkfifo(tree.Path("Mp3List.txt").c_str(), 0600), 0);
    w.folder = music;
    C().bCompareClick();
    EXPECT_EQ(core.runs, 0);
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_TRUE(dialogs.Texts()[0].startsWith(L("Cannot read ")));
    EXPECT_TRUE(dialogs.Texts()[0].contains(QString::fromStdString(tree.Path("Mp3List.txt"))));
    EXPECT_EQ(M().rowCount(), 1);  // the rows of the last run are still there
    EXPECT_FALSE(w.busy);
}

TEST_F(CompareCommandsTest, StopEndsARunningComparisonAndKeepsItsRows) {
    core.waitForStop = true;
    core.batches = {{{"a", "b"}}};
    QTimer::singleShot(20, [&] { C().bCancelClick(); });
    C().bFolderClick();
    EXPECT_EQ(core.runs, 1);
    EXPECT_TRUE(C().StopRequested());
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison Cancelled")});
    EXPECT_EQ(M().rowCount(), 1);
    EXPECT_TRUE(w.bDel->isEnabled());
    EXPECT_FALSE(w.busy);

    // The next command starts with the flag cleared.
    core.waitForStop = false;
    C().bFolderClick();
    EXPECT_FALSE(C().StopRequested());
}

TEST_F(CompareCommandsTest, PercentageThatIsNoWholeNumberRunsNothing) {
    w.cbRec->setChecked(false);
    for (const char* text : {"", "-", "8x"}) {
        dialogs.ClearHistory();
        w.ePerc->setText(L(text));
        C().bFolderClick();
        EXPECT_EQ(dialogs.Texts(), QStringList{L(mv::kPercentNotWholeMessage)}) << text;
    }
    EXPECT_EQ(core.runs, 0);
    EXPECT_FALSE(w.busy);
    EXPECT_TRUE(w.ePerc->isEnabled());
    EXPECT_EQ(M().rowCount(), 1);  // the lists keep what they showed
    EXPECT_EQ(std::count(w.calls.begin(), w.calls.end(), "hide"), 0);
}

// The gauge rests empty after every run; an empty range would draw as busy.
TEST_F(CompareCommandsTest, GaugeIsEmptyAndNotBusyAfterARunWithNothingToCompare) {
    w.folder = music;
    core.noFiles = true;
    C().bFolderClick();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("This Directory contains no Mp3s!")});
    EXPECT_LT(w.gp->minimum(), w.gp->maximum());
    EXPECT_EQ(w.gp->value(), w.gp->minimum());
}

// Folders the run could not read are counted beside the result; a click on the
// label names them.
TEST_F(CompareCommandsTest, UnreadFoldersAreCountedInTheResultAndListedOnAClick) {
    w.folder = music;
    core.foldersUnread = {music + "/Locked", music + "/Deep"};
    C().bFolderClick();
    EXPECT_EQ(w.lRes->text(), L("2 results in 0.5 seconds (2 folders not read)"));
    dialogs.ClearHistory();
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.lRes, &click);
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_EQ(dialogs.Texts()[0],
              L("2 folders could not be read, so their files were not compared:\n\n") +
                  QString::fromStdString(music + "/Locked\n" + music + "/Deep"));

    // The next run without such folders shows the plain count, and a click shows nothing.
    core.foldersUnread.clear();
    C().bFolderClick();
    EXPECT_EQ(w.lRes->text(), L("2 results in 0.5 seconds"));
    dialogs.ClearHistory();
    QCoreApplication::sendEvent(w.lRes, &click);
    EXPECT_TRUE(dialogs.Texts().isEmpty());
}

}  // namespace

}  // namespace mv
