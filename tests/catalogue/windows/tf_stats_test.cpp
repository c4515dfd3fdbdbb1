#include "catalogue/windows/tf_stats.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "catalogue/windows/list_models.h"
#include "example_list.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"
#include "ui/common/fitting_label.h"

namespace mv {

namespace {

using Lines = std::vector<std::string>;
using mv::testing::kExampleList;

QString L(const char* s) {
    return QString::fromLatin1(s);
}

std::string CrLf(const Lines& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    return out;
}

Lines Without(Lines lines, std::initializer_list<size_t> ascending) {
    for (auto it = std::rbegin(ascending); it != std::rend(ascending); ++it) {
        lines.erase(lines.begin() + static_cast<long>(*it));
    }
    return lines;
}

// Node ids of the example list, in line order.
constexpr uint32_t kRoot = 0, kRock1999 = 1, kMusic = 2, kRock = 4, kLive = 5;

class TfStatsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mv::test::TestApplication();
        tree.File("Mp3List.txt", CrLf(kExampleList));
    }
    std::string Slurp(const char* name = "Mp3List.txt") const {
        std::ostringstream s;
        s << std::ifstream(tree.Path(name), std::ios::binary).rdbuf();
        return s.str();
    }
    TfStats& Window() {
        if (!window) window = std::make_unique<TfStats>(dialogs, tree.Root(), hooks);
        return *window;
    }
    TfStats& Opened() {
        EXPECT_TRUE(Window().FormActivate());
        return *window;
    }
    // A click on a node of the tree (or a move to it with the keys).
    void Click(uint32_t node) { window->tCD->setCurrentIndex(window->TreeModel().IndexOf(node)); }
    void PickTitle(int row) { window->ltitles->setCurrentIndex(window->TitleModel().index(row)); }
    QStringList Titles() const {
        QStringList out;
        for (int r = 0; r < window->TitleModel().rowCount(); ++r) {
            out << window->TitleModel().index(r).data().toString();
        }
        return out;
    }
    QString NodeText(uint32_t node) const {
        return window->TreeModel().IndexOf(node).data().toString();
    }
    // Closes with the given answer to the save question (none expected when unset).
    bool CloseAnswering(std::optional<bool> save) {
        if (save) dialogs.QueueReply(*save);
        const bool closed = window->FormClose();
        EXPECT_EQ(dialogs.Pending(), 0u);
        return closed;
    }

    mv::test::TempTree tree;
    ScriptedDialogs dialogs;
    TfStatsHooks hooks;
    std::unique_ptr<TfStats> window;
};

TEST_F(TfStatsTest, OpeningShowsTheTreeAndTheTotal) {
    TfStats& w = Opened();
    EXPECT_EQ(w.windowTitle(), L("List Stats"));
    EXPECT_EQ(w.objectName(), L("fStats"));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(w.Button3->isDefault());

    ListTreeModel& model = w.TreeModel();
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(root.data().toString(), L("Mp3 List"));
    ASSERT_EQ(model.rowCount(root), 2);
    EXPECT_EQ(model.index(0, 0, root).data().toString(), L("Rock 1999"));
    EXPECT_EQ(model.index(1, 0, root).data().toString(), L("Live"));
    const QModelIndex music = model.index(0, 0, model.index(0, 0, root));
    EXPECT_EQ(music.data().toString(), L("Music"));
    EXPECT_EQ(model.parent(music), model.index(0, 0, root));
    EXPECT_EQ(model.index(1, 0, music).data().toString(), L("Rock"));
    EXPECT_EQ(model.rowCount(model.index(0, 0, model.index(1, 0, root))), 0);  // Encore

    EXPECT_EQ(w.SelectedNode(), kRoot);
    EXPECT_EQ(w.lstats->text(), L("Total Titles: 5"));
    EXPECT_TRUE(Titles().isEmpty());  // until the user clicks the tree
    EXPECT_TRUE(dialogs.History().empty());
}

TEST_F(TfStatsTest, ClickingANodeShowsItsTitlesInEitherMode) {
    TfStats& w = Opened();
    Click(kRock1999);
    EXPECT_TRUE(Titles().isEmpty());
    EXPECT_EQ(w.lstats->text(), L("Total Titles: 5 This directory titles number: 0"));
    Click(kLive);
    EXPECT_EQ(Titles(), QStringList{L("Concert Intro.mp3")});
    Click(kRock);
    EXPECT_EQ(Titles(), (QStringList{L("Band One Song A.mp3"), L("Band One Song B.mp3")}));
    EXPECT_EQ(w.lstats->text(), L("Total Titles: 5 This directory titles number: 2"));

    // While the window is hidden a new mode waits for the next click.
    Click(kLive);
    w.rbWholeCd->click();
    EXPECT_EQ(w.DisplayMode(), 1);
    EXPECT_EQ(Titles(), QStringList{L("Concert Intro.mp3")});
    Click(kRock1999);
    EXPECT_EQ(Titles(), (QStringList{L("Singer Tune.mp3"), L("Band One Song A.mp3"),
                                     L("Band One Song B.mp3")}));
    // Shown, the window shows the selected node again at once.
    w.show();
    w.rbRootContent->click();
    EXPECT_EQ(w.DisplayMode(), 0);
    EXPECT_TRUE(Titles().isEmpty());
    w.SetDisplayMode(1);
    EXPECT_EQ(Titles().size(), 3);
    w.SetDisplayMode(7);  // anything else is the first item
    EXPECT_EQ(w.DisplayMode(), 0);
    w.hide();
    EXPECT_TRUE(CloseAnswering(std::nullopt));
}

TEST_F(TfStatsTest, EditingATitleAndSavingWritesExactlyThatLine) {
    TfStats& w = Opened();
    w.SetDisplayMode(1);
    Click(kRock1999);
    PickTitle(2);
    EXPECT_EQ(w.eEdit->text(), L("Band One Song B.mp3"));
    w.eEdit->setText(QString::fromUtf8("Band One Song \xc3\x89.mp3"));
    w.Button3Click();
    EXPECT_EQ(Titles()[2], QString::fromUtf8("Band One Song \xc3\x89.mp3"));
    EXPECT_EQ(Slurp(), CrLf(kExampleList));  // nothing written before closing
    EXPECT_TRUE(CloseAnswering(true));
    Lines expected = kExampleList;
    expected[8] = "Band One Song \xc3\x89.mp3";
    EXPECT_EQ(Slurp(), CrLf(expected));
    ASSERT_EQ(dialogs.History().size(), 1u);
    EXPECT_EQ(dialogs.History()[0].text, L("You wish to save Changes made to List?"));
    EXPECT_EQ(dialogs.History()[0].defaultAnswer, DefaultAnswer::Cautious);
    EXPECT_FALSE(w.IsOpen());
    EXPECT_EQ(w.TreeModel().rowCount(), 0);  // the copy is dropped
}

TEST_F(TfStatsTest, AnsweringNoLeavesTheFileAlone) {
    TfStats& w = Opened();
    Click(kLive);
    w.ltitles->selectAll();
    w.Button2Click();
    EXPECT_TRUE(CloseAnswering(false));
    EXPECT_EQ(Slurp(), CrLf(kExampleList));
}

TEST_F(TfStatsTest, OkWithoutACurrentTitleStillAsksAtClosing) {
    TfStats& w = Opened();
    w.Button3Click();
    EXPECT_TRUE(dialogs.History().empty());
    EXPECT_TRUE(CloseAnswering(true));
    EXPECT_EQ(Slurp(), CrLf(kExampleList));
}

TEST_F(TfStatsTest, OkRefusesATextThatWouldNoLongerBeATitle) {
    TfStats& w = Opened();
    Click(kLive);
    for (const char* text : {"", "\\New CD", "/Folder", ".."}) {
        PickTitle(0);
        w.eEdit->setText(L(text));
        w.Button3Click();
        ASSERT_FALSE(dialogs.History().empty()) << text;
        EXPECT_EQ(dialogs.History().back().kind, ScriptedDialogs::Kind::Information);
        EXPECT_EQ(dialogs.History().back().text,
                  QString::fromStdString(mv::RefusedTitleReason(text)));
        EXPECT_EQ(Titles(), QStringList{L("Concert Intro.mp3")}) << text;
    }
    EXPECT_EQ(dialogs.History().size(), 4u);
    EXPECT_TRUE(CloseAnswering(std::nullopt));  // nothing changed, nothing asked
    EXPECT_EQ(Slurp(), CrLf(kExampleList));
}

TEST_F(TfStatsTest, RemovingSelectedTitles) {
    TfStats& w = Opened();
    w.SetDisplayMode(1);
    Click(kRock1999);
    w.ltitles->selectionModel()->select(w.TitleModel().index(0), QItemSelectionModel::Select);
    w.ltitles->selectionModel()->select(w.TitleModel().index(2), QItemSelectionModel::Select);
    w.Button2Click();
    EXPECT_EQ(Titles(), QStringList{L("Band One Song A.mp3")});
    EXPECT_EQ(w.lstats->text(), L("Total Titles: 3 This directory titles number: 1"));
    // The tree was not built again, and its nodes still show their own titles.
    Click(kLive);
    EXPECT_EQ(Titles(), (QStringList{L("Concert Intro.mp3"), L("Concert Finale.mp3")}));
    EXPECT_TRUE(CloseAnswering(true));
    EXPECT_EQ(Slurp(), CrLf(Without(kExampleList, {4, 8})));
}

TEST_F(TfStatsTest, DeletingACdOrFolder) {
    const struct {
        uint32_t node;
        Lines saved;
        const char* stats;
    } cases[] = {
        {kMusic, Without(kExampleList, {2, 3, 4, 5, 6, 7, 8, 9, 10}), "Total Titles: 2"},
        {kLive, Without(kExampleList, {11, 12, 13, 14, 15}), "Total Titles: 3"},
    };
    for (const auto& c : cases) {
        TfStats& w = Opened();
        Click(c.node);
        w.Button1Click();
        EXPECT_TRUE(Titles().isEmpty());
        EXPECT_EQ(w.lstats->text(), L(c.stats));
        EXPECT_EQ(w.SelectedNode(), kRoot);
        EXPECT_TRUE(CloseAnswering(true));
        EXPECT_EQ(Slurp(), CrLf(c.saved));
        tree.File("Mp3List.txt", CrLf(kExampleList));
    }
}

TEST_F(TfStatsTest, DeletingTheRootOrNothingDoesNothing) {
    TfStats& w = Opened();
    w.Button1Click();  // the root is selected
    w.tCD->setCurrentIndex(QModelIndex());
    w.Button1Click();
    EXPECT_EQ(w.Copy().Lines(), kExampleList);
    EXPECT_TRUE(CloseAnswering(std::nullopt));
}

TEST_F(TfStatsTest, SearchOpensTheTreeAtEachResultAndCycles) {
    std::vector<std::string> asked;
    std::vector<std::string> found = {"/Rock 1999/Music/Rock/Band One Song A.mp3"};
    hooks.search = [&](const std::string& text) {
        asked.push_back(text);
        return found;
    };
    TfStats& w = Opened();
    Click(kLive);
    w.eEdit->setText(L("song a"));
    EXPECT_EQ(w.bSearch->text(), L("Search"));
    w.bSearchClick();
    EXPECT_EQ(asked, std::vector<std::string>{"song a"});
    EXPECT_EQ(w.bSearch->text(), L("Next"));
    EXPECT_EQ(w.SelectedNode(), kRock);
    EXPECT_TRUE(w.tCD->isExpanded(w.TreeModel().IndexOf(kRock1999)));
    EXPECT_TRUE(w.tCD->isExpanded(w.TreeModel().IndexOf(kMusic)));
    EXPECT_FALSE(w.tCD->isExpanded(w.TreeModel().IndexOf(kLive)));
    EXPECT_EQ(Titles(), (QStringList{L("Band One Song A.mp3"), L("Band One Song B.mp3")}));
    EXPECT_EQ(w.ltitles->currentIndex().row(), 0);
    EXPECT_EQ(w.eEdit->text(), L("song a"));  // making the entry current is no click
    EXPECT_EQ(w.SearchPosition(), 0u);

    // "Next" with a single result shows it again, without a new search.
    Click(kLive);
    w.bSearchClick();
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(w.SelectedNode(), kRock);

    // Picking a title changes eEdit, so the next click searches anew.
    found = {"/Live/Encore/Concert Finale.mp3", "/Gone/x.mp3", "/Live/Concert Intro.mp3"};
    PickTitle(1);
    EXPECT_EQ(w.bSearch->text(), L("Search"));
    w.bSearchClick();
    EXPECT_EQ(asked.back(), "Band One Song B.mp3");
    EXPECT_EQ(NodeText(w.SelectedNode()), L("Encore"));
    w.bSearchClick();  // the result the tree lacks is passed over
    EXPECT_EQ(w.SelectedNode(), kLive);
    EXPECT_EQ(w.ltitles->currentIndex().data().toString(), L("Concert Intro.mp3"));
    w.bSearchClick();
    EXPECT_EQ(NodeText(w.SelectedNode()), L("Encore"));
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(CloseAnswering(std::nullopt));
}

TEST_F(TfStatsTest, TheEditorStaysInFrontOfTheMainWindowAfterASearch) {
    QWidget main;
    main.show();
    // The comparison brings the main window forward when it ends.
    hooks.search = [&main](const std::string&) {
        main.raise();
        main.activateWindow();
        return std::vector<std::string>{"/Live/Concert Intro.mp3"};
    };
    TfStats editor(dialogs, tree.Root(), hooks, &main);
    ASSERT_TRUE(editor.FormActivate());
    editor.show();
    editor.activateWindow();
    QCoreApplication::processEvents();
    editor.eEdit->setText(L("intro"));
    editor.bSearchClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &editor);
    EXPECT_EQ(editor.bSearch->text(), L("Next"));
    EXPECT_TRUE(editor.FormClose());
}

TEST_F(TfStatsTest, NextSaysSoWhenTheResultsTitleWasRemovedAndGoesOn) {
    hooks.search = [](const std::string&) {
        return std::vector<std::string>{"/Live/Concert Intro.mp3",
                                        "/Live/Encore/Concert Finale.mp3"};
    };
    TfStats& w = Opened();
    Click(kLive);
    PickTitle(0);  // Concert Intro.mp3
    w.Button2Click();
    w.eEdit->setText(L("concert"));
    w.bSearchClick();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("This title is no longer in the list")});
    EXPECT_EQ(w.SelectedNode(), kLive);
    EXPECT_EQ(w.SearchPosition(), 1u);
    w.bSearchClick();
    EXPECT_EQ(NodeText(w.SelectedNode()), L("Encore"));
    EXPECT_EQ(w.ltitles->currentIndex().data().toString(), L("Concert Finale.mp3"));
    EXPECT_EQ(dialogs.Texts().size(), 1);
}

TEST_F(TfStatsTest, SearchWithoutResultsLeavesTheWindowAsItWas) {
    hooks.search = [](const std::string&) { return std::vector<std::string>{}; };
    TfStats& w = Opened();
    Click(kLive);
    w.eEdit->setText(L("nothing like it"));
    w.bSearchClick();
    EXPECT_EQ(w.bSearch->text(), L("Next"));
    EXPECT_EQ(w.SelectedNode(), kLive);
    EXPECT_EQ(Titles(), QStringList{L("Concert Intro.mp3")});
}

TEST_F(TfStatsTest, AnEmptyEditStepsThroughWhatTheResultListHolds) {
    int searches = 0;
    hooks.search = [&](const std::string&) {
        ++searches;
        return std::vector<std::string>{};
    };
    hooks.resultRows = [] {
        return std::vector<std::string>{"/Live/Concert Intro.mp3",
                                        "/Rock 1999/Music/Pop/Singer Tune.mp3"};
    };
    TfStats& w = Opened();
    w.bSearchClick();
    EXPECT_EQ(searches, 0);
    EXPECT_EQ(w.SelectedNode(), kLive);
    w.bSearchClick();
    EXPECT_EQ(NodeText(w.SelectedNode()), L("Pop"));
    EXPECT_EQ(w.ltitles->currentIndex().data().toString(), L("Singer Tune.mp3"));
    EXPECT_EQ(w.SearchPosition(), 0u);
}

TEST_F(TfStatsTest, TheSearchCarriesOverToTheNextOpening) {
    hooks.search = [](const std::string&) {
        return std::vector<std::string>{"/Live/Concert Intro.mp3",
                                        "/Live/Encore/Concert Finale.mp3"};
    };
    TfStats& w = Opened();
    w.eEdit->setText(L("concert"));
    w.bSearchClick();
    EXPECT_TRUE(CloseAnswering(std::nullopt));
    ASSERT_TRUE(w.FormActivate());
    EXPECT_EQ(w.bSearch->text(), L("Next"));
    w.bSearchClick();
    EXPECT_EQ(NodeText(w.SelectedNode()), L("Encore"));
}

TEST_F(TfStatsTest, WithoutAListOnlyAMessageShows) {
    std::filesystem::remove(tree.Path("Mp3List.txt"));
    EXPECT_FALSE(Window().ShowModal());
    EXPECT_EQ(dialogs.Texts(), QStringList{L("You don't have any Mp3 List!!")});
    EXPECT_FALSE(window->IsOpen());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(TfStatsTest, AListThatCannotBeReadIsNamedAndNeverReplaced) {
    std::filesystem::remove(tree.Path("Mp3List.txt"));
    tree.Folder("Mp3List.txt");
    EXPECT_FALSE(Window().ShowModal());
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_TRUE(dialogs.Texts()[0].contains(QString::fromStdString(tree.Path("Mp3List.txt"))));
    EXPECT_TRUE(dialogs.Texts()[0].contains(L("not a regular file")));
    window->Button3Click();
    EXPECT_TRUE(CloseAnswering(std::nullopt));
    EXPECT_TRUE(std::filesystem::is_directory(tree.Path("Mp3List.txt")));
}

TEST_F(TfStatsTest, AFailedSaveShowsTheCauseAndKeepsTheEdits) {
    TfStats& w = Opened();
    Click(kLive);
    w.ltitles->selectAll();
    w.Button2Click();
    // Something took the list's place meanwhile; a file cannot replace it.
    std::filesystem::remove(tree.Path("Mp3List.txt"));
    tree.File("Mp3List.txt/inside", "x");
    EXPECT_FALSE(CloseAnswering(true));
    ASSERT_EQ(dialogs.History().size(), 2u);
    EXPECT_EQ(dialogs.History()[1].kind, ScriptedDialogs::Kind::Information);
    EXPECT_TRUE(dialogs.Texts()[1].startsWith(L("The list was not saved.")));
    EXPECT_TRUE(w.IsOpen());
    EXPECT_EQ(w.Copy().Lines(), Without(kExampleList, {12}));
    EXPECT_TRUE(CloseAnswering(false));
    EXPECT_FALSE(w.IsOpen());
}

TEST_F(TfStatsTest, TheListIsFoundWhateverTheCaseOfItsNameAndSavedBackThere) {
    std::filesystem::rename(tree.Path("Mp3List.txt"), tree.Path("mp3list.TXT"));
    TfStats& w = Opened();
    Click(kLive);
    PickTitle(0);
    w.eEdit->setText(L("Intro.mp3"));
    w.Button3Click();
    EXPECT_TRUE(CloseAnswering(true));
    Lines expected = kExampleList;
    expected[12] = "Intro.mp3";
    EXPECT_EQ(Slurp("mp3list.TXT"), CrLf(expected));
    EXPECT_FALSE(std::filesystem::exists(tree.Path("Mp3List.txt")));
}

TEST_F(TfStatsTest, ClosingTheWindowAsksThroughFormClose) {
    TfStats& w = Opened();
    w.show();
    w.Button3Click();
    dialogs.QueueReply(false);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(dialogs.Texts(), QStringList{L("You wish to save Changes made to List?")});
}

}  // namespace

}  // namespace mv
