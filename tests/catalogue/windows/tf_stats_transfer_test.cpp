// The list editor's Export..., Import... and Rename CD... with a real window:
// what lands on disk, what the tree shows afterwards, and the refusals.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTreeView>

#include "catalogue/windows/list_models.h"
#include "catalogue/windows/tf_stats.h"
#include "example_list.h"
#include "platform/text_lines.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;
using mv::testing::kExampleList;
using Kind = ScriptedDialogs::Kind;

constexpr uint32_t kRoot = 0, kRock1999 = 1;

class TfStatsTransfer : public ::testing::Test {
  protected:
    void SetUp() override {
        mv::test::TestApplication();
        ASSERT_EQ(WriteLinesAtomically(ListFile(), kExampleList), "");
        ASSERT_TRUE(window.FormActivate());
    }
    std::string ListFile() const { return tree.Path("Mp3List.txt"); }
    Lines OnDisk() const { return ReadLines(ListFile()).value_or(Lines{"(unreadable)"}); }
    // The names of the CDs under the tree's root, as the tree shows them.
    QStringList CdNames() {
        QStringList names;
        const QModelIndex root = window.TreeModel().IndexOf(kRoot);
        for (int r = 0; r < window.TreeModel().rowCount(root); ++r) {
            names << window.TreeModel().index(r, 0, root).data().toString();
        }
        return names;
    }
    void Click(uint32_t node) { window.tCD->setCurrentIndex(window.TreeModel().IndexOf(node)); }
    QString Selected() const { return window.tCD->currentIndex().data().toString(); }

    mv::test::TempTree tree;
    ScriptedDialogs dialogs;
    TfStats window{dialogs, tree.Root(), {}};
};

TEST_F(TfStatsTransfer, ExportWritesEveryTitleAndReadsBack) {
    dialogs.QueueText(QString::fromStdString(tree.Path("out")));  // no extension: CSV
    window.bExport->click();
    EXPECT_EQ(ReadLines(tree.Path("out.csv")),
              (Lines{"cd,folder,title", "Rock 1999,Music/Pop,Singer Tune.mp3",
                     "Rock 1999,Music/Rock,Band One Song A.mp3",
                     "Rock 1999,Music/Rock,Band One Song B.mp3", "Live,,Concert Intro.mp3",
                     "Live,Encore,Concert Finale.mp3"}));
    EXPECT_EQ(dialogs.Texts().count(), 1);  // the save dialog, no message
}

TEST_F(TfStatsTransfer, ImportAddsTheCdToTheFileAndTheTree) {
    const std::string csv = tree.File("new.csv", "Disc 1/a.mp3\r\ntop.mp3\r\n");
    dialogs.QueueText(QString::fromStdString(csv));
    dialogs.QueueText(QStringLiteral("live"));  // taken, in other case
    window.bImport->click();
    ASSERT_EQ(dialogs.History().back().kind, Kind::Information);
    EXPECT_TRUE(dialogs.History().back().text.startsWith(QStringLiteral("A CD named")));
    EXPECT_EQ(OnDisk(), kExampleList);

    dialogs.QueueText(QString::fromStdString(csv));
    dialogs.QueueText(QStringLiteral("Fresh"));
    window.bImport->click();
    EXPECT_EQ(CdNames(), (QStringList{QStringLiteral("Rock 1999"), QStringLiteral("Live"),
                                      QStringLiteral("Fresh")}));
    EXPECT_EQ(Selected(), QStringLiteral("Fresh"));
    Lines expected = kExampleList;
    expected.insert(expected.end(), {"\\Fresh", "top.mp3", "/Disc 1", "a.mp3", ".."});
    EXPECT_EQ(OnDisk(), expected);
    EXPECT_FALSE(window.Copy().Changed());  // closing asks nothing
}

TEST_F(TfStatsTransfer, RenameRefusesATakenNameAndRenamesTheSelectedCd) {
    Click(kRock1999);
    dialogs.QueueText(QStringLiteral("LIVE"));
    window.bRenameCd->click();
    EXPECT_EQ(dialogs.History().front().initial, QStringLiteral("Rock 1999"));
    EXPECT_EQ(dialogs.History().back().text,
              QStringLiteral("A CD named \"LIVE\" is already in the list."));
    EXPECT_EQ(OnDisk(), kExampleList);

    // A pending edit goes to disk with the rename only when the user agrees.
    window.Button1Click();  // deletes "Rock 1999"
    Click(kRock1999);       // now "Live"
    ASSERT_EQ(Selected(), QStringLiteral("Live"));
    dialogs.QueueText(QStringLiteral("Live 2001"));
    dialogs.QueueReply(false);
    window.bRenameCd->click();
    EXPECT_EQ(OnDisk(), kExampleList);
    dialogs.QueueText(QStringLiteral("Live 2001"));
    dialogs.QueueReply(true);
    window.bRenameCd->click();
    EXPECT_EQ(CdNames(), QStringList{QStringLiteral("Live 2001")});
    EXPECT_EQ(Selected(), QStringLiteral("Live 2001"));
    EXPECT_EQ(OnDisk(), (Lines{"\\Mp3 List", "\\Live 2001", "Concert Intro.mp3", "/Encore",
                               "Concert Finale.mp3", ".."}));

    EXPECT_EQ(dialogs.Pending(), 0u);
}

}  // namespace
}  // namespace mv
