// The facts of the result pairs: marks, the strip under the lists, the size of
// the left list and the two commands, with a batch reader that answers from a
// table (the reader itself is tested with real files in tests/media).
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "dupes/facts_text.h"
#include "dupes/windows/pair_facts_handlers.h"
#include "dupes/windows/result_pair_model.h"
#include "dupes/windows/result_row_delegate.h"
#include "support/core/temp_tree.h"
#include "support/widgets/test_application.h"

namespace mv {

namespace {

mv::MediaFacts Audio(std::uint64_t size, int kbps, std::uint64_t audioLength, std::uint64_t hash) {
    mv::MediaFacts f;
    f.status = mv::FactsStatus::Audio;
    f.size = size;
    f.durationMs = 232000;
    f.bitrateKbps = kbps;
    f.sampleRate = 44100;
    f.channels = 2;
    f.id3v1 = true;
    f.audioLength = audioLength;
    f.audioHash = mv::AudioHash{hash, hash};
    return f;
}

class PairFactsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list.setModel(&model);
        PairFactsWidgets w;
        w.lbCompRes = &list;
        w.lRes = &lRes;
        w.gp = &gp;
        w.bCancel = &stop;
        w.lLeftFacts = &left;
        w.lRightFacts = &right;
        w.bKeepBetter = &keepBetter;
        w.bKeepSameAudio = &keepSame;
        w.tmiAlwaysBetter = &always;
        always.setCheckable(true);
        PairFactsHooks hooks;
        hooks.gather = [this](const mv::FactsBatchParams& params) {
            asked = params;
            mv::FactsBatchResult r;
            if (block) {
                while (params.progress(0, params.paths.size())) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
                r.stopped = true;
                return r;
            }
            while (hold) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            for (const std::string& p : params.paths) {
                if (table.count(p) != 0) r.facts[p] = table.at(p);
            }
            return r;
        };
        facts = std::make_unique<PairFactsHandlers>(w, model, std::move(hooks));
    }

    void WaitForFacts() {
        QElapsedTimer t;
        t.start();
        while ((facts->Gathering() || facts->Sizing()) && t.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QCoreApplication::processEvents();
    }

    void Current(int row) { list.setCurrentIndex(model.index(row, 0)); }

    // lRes comes to end with `bytes`, summed off the GUI thread.
    bool LeftSizeBecomes(std::uint64_t bytes) {
        QElapsedTimer t;
        t.start();
        const QString wanted = QString::fromStdString(BytesText(bytes) + " in the left list");
        while (!lRes.text().endsWith(wanted) && t.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return lRes.text().endsWith(wanted);
    }

    mv::test::TempTree tree;
    ResultPairModel model;
    QListView list;
    QLabel lRes, left, right;
    QProgressBar gp;
    QPushButton stop;
    QAction keepBetter{nullptr}, keepSame{nullptr}, always{nullptr};
    std::map<std::string, mv::MediaFacts> table;
    mv::FactsBatchParams asked;
    std::atomic<bool> block{false};
    std::atomic<bool> hold{false};  // the batch waits until it is let go
    std::unique_ptr<PairFactsHandlers> facts;
};

TEST_F(PairFactsTest, MarksTheStripTheLeftSizeAndTheTwoCommands) {
    const std::string a = tree.File("a.mp3", 4000), b = tree.File("b.mp3", 9000);
    const std::string c = tree.File("c.mp3", 9000), d = tree.File("d.mp3", 4000);
    const std::string e = tree.File("e.mp3", 1000);
    table[a] = Audio(4000, 128, 3000, 7);  // same audio as b, other tags
    table[b] = Audio(9000, 128, 3000, 7);
    table[c] = Audio(9000, 320, 8000, 1);  // the better copy, on the left
    table[d] = Audio(4000, 128, 3000, 2);
    table[e] = Audio(1000, 128, 800, 3);
    model.Append({{a, b},
                  {c, d},
                  {e, "/CD1/Rock/e.mp3", mv::RowKind::FileOnDisk, mv::RowKind::ListLocation}});
    lRes.setText(QStringLiteral("3 results in 0.01 seconds"));
    facts->Start();
    WaitForFacts();

    // Every file once, and only the pairs of two files are asked to be hashed.
    EXPECT_EQ(asked.paths.size(), 5u);
    EXPECT_EQ(asked.pairs.size(), 2u);
    EXPECT_TRUE(model.SameAudio(0));
    EXPECT_FALSE(model.SameAudio(1));
    EXPECT_FALSE(model.SameAudio(2));
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::DecorationRole).isNull());
    EXPECT_TRUE(model.data(model.index(0, 1), Qt::DecorationRole).isNull());
    EXPECT_TRUE(model.data(model.index(1, 0), Qt::DecorationRole).isNull());
    // The rows' texts stay as the comparison made them.
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString().toStdString(), a);

    Current(0);
    EXPECT_TRUE(right.text().contains(QStringLiteral("same audio")));
    EXPECT_TRUE(left.text().contains(QStringLiteral("128 kbps")));
    Current(1);
    EXPECT_TRUE(left.text().contains(QStringLiteral("320 kbps")));
    EXPECT_FALSE(right.text().contains(QStringLiteral("same audio")));
    Current(2);  // a catalogue side has no file: its place in the list stands there
    EXPECT_EQ(right.text(), QStringLiteral("/CD1/Rock/e.mp3"));

    // a, c and e are on the left: 14,000 bytes.
    EXPECT_TRUE(LeftSizeBecomes(14000));
    EXPECT_TRUE(lRes.text().startsWith(QStringLiteral("3 results in 0.01 seconds, ")));

    ASSERT_TRUE(keepBetter.isEnabled());
    keepBetter.trigger();
    EXPECT_EQ(model.rows()[1].left, d);  // the better copy went right, to be kept
    EXPECT_EQ(model.rows()[0].left, a);  // no better copy: as it was
    EXPECT_EQ(model.rows()[2].right, "/CD1/Rock/e.mp3");
    EXPECT_TRUE(LeftSizeBecomes(9000));  // d instead of c on the left

    keepSame.trigger();
    ASSERT_EQ(model.rows().size(), 1u);
    EXPECT_EQ(model.rows()[0].left, a);
    EXPECT_TRUE(model.SameAudio(0));
}

// What "Delete all" would free follows the rows after the facts are in: a
// removed row, or a pair whose sides changed, changes the sum.
TEST_F(PairFactsTest, TheLeftSizeFollowsRemovedAndSwappedRows) {
    const std::string a = tree.File("a.mp3", 4000), b = tree.File("b.mp3", 9000);
    const std::string c = tree.File("c.mp3", 20000), d = tree.File("d.mp3", 1000);
    for (const std::string& f : {a, b, c, d}) {
        table[f] = Audio(std::filesystem::file_size(f), 128, 100, 1);
    }
    model.Append({{a, b}, {c, d}});
    facts->Start();
    WaitForFacts();
    EXPECT_TRUE(LeftSizeBecomes(24000));
    model.SwapSides(0);
    EXPECT_TRUE(LeftSizeBecomes(29000));
    model.RemoveRows({1});
    EXPECT_TRUE(LeftSizeBecomes(9000));
}

TEST_F(PairFactsTest, AlwaysKeepTheBetterCopySwapsWhenTheFactsAreIn) {
    const std::string c = tree.File("c.mp3", 9000), d = tree.File("d.mp3", 4000);
    table[c] = Audio(9000, 320, 8000, 1);
    table[d] = Audio(4000, 128, 3000, 2);
    model.Append({{c, d}});
    always.setChecked(true);
    facts->Start();
    WaitForFacts();
    EXPECT_EQ(model.rows()[0].left, d);
}

TEST_F(PairFactsTest, StopAndANewRunEndTheGatheringAndLeaveNoStaleFacts) {
    const std::string a = tree.File("a.mp3", 10), b = tree.File("b.mp3", 10);
    table[a] = Audio(10, 128, 5, 1);
    table[b] = Audio(10, 128, 5, 1);
    model.Append({{a, b}});
    block = true;
    facts->Start();
    Current(0);
    EXPECT_TRUE(facts->Gathering());
    EXPECT_FALSE(left.text().isEmpty());  // says the facts are on their way
    stop.click();
    WaitForFacts();
    EXPECT_FALSE(facts->Gathering());
    EXPECT_FALSE(keepBetter.isEnabled());  // a stopped batch is not a basis for either
    EXPECT_FALSE(keepSame.isEnabled());
    EXPECT_FALSE(model.SameAudio(0));

    // A new comparison clears the rows while a batch runs: it ends, and nothing
    // of it reaches the new rows.
    facts->Start();
    model.Clear();
    EXPECT_FALSE(facts->Gathering());
    block = false;
    model.Append({{a, b}});
    QCoreApplication::processEvents();
    EXPECT_FALSE(model.SameAudio(0));
    EXPECT_EQ(facts->FactsOf(a), nullptr);
}

// The marks are worked out with the facts, for the rows as they were; a row
// the user removed meanwhile must not shift them onto its neighbours.
TEST_F(PairFactsTest, MarksLandOnTheirRowsWhenRowsWentWhileTheFactsCame) {
    std::vector<std::string> f;
    for (const char* name : {"a", "b", "c", "d", "e", "g"}) f.push_back(tree.File(name, 100));
    for (std::size_t k = 0; k < f.size(); ++k) table[f[k]] = Audio(100, 128, 50, k < 2 ? k : 9);
    model.Append({{f[0], f[1]}, {f[2], f[3]}, {f[4], f[5]}});
    hold = true;
    facts->Start();
    model.RemoveRows({0});
    hold = false;
    WaitForFacts();
    ASSERT_EQ(model.rows().size(), 2u);
    EXPECT_TRUE(model.SameAudio(0));
    EXPECT_TRUE(model.SameAudio(1));

    // Rows left alone: the marks as the batch found them, row by row.
    model.Clear();
    model.Append({{f[0], f[1]},
                  {f[2], f[3]},
                  {f[4], "/CD1/x.mp3", mv::RowKind::FileOnDisk, mv::RowKind::ListLocation},
                  {f[4], f[5]}});
    facts->Start();
    WaitForFacts();
    EXPECT_FALSE(model.SameAudio(0));
    EXPECT_TRUE(model.SameAudio(1));
    EXPECT_FALSE(model.SameAudio(2));
    EXPECT_TRUE(model.SameAudio(3));
}

// The mark of a same-audio pair must not make its row taller than the other
// list's: the two halves of every pair stand on one line.
TEST_F(PairFactsTest, MarkedRowsStayInLineWithTheOtherList) {
    QListView rightList;
    rightList.setModel(&model);
    rightList.setModelColumn(1);
    ResultRowDelegate leftRows, rightRows;
    list.setItemDelegate(&leftRows);
    rightList.setItemDelegate(&rightRows);
    for (QListView* view : {&list, &rightList}) {
        view->setUniformItemSizes(true);
        view->resize(300, 200);
        view->show();
    }
    std::vector<mv::ResultRow> rows;
    std::vector<bool> marks;
    for (int k = 0; k < 6; ++k) {
        rows.push_back({"/m/left " + std::to_string(k), "/m/right " + std::to_string(k)});
        marks.push_back(k % 2 == 1);
    }
    model.Append(std::move(rows));
    model.SetSameAudio(marks);
    QCoreApplication::processEvents();
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(list.visualRect(model.index(k, 0)).top(),
                  rightList.visualRect(model.index(k, 1)).top())
            << k;
    }
}

// A file against a catalogue title: the left facts say where the title lies;
// the right side keeps the location as it stands.
TEST_F(PairFactsTest, AFileAgainstACatalogueTitleSaysTheCdAndFolder) {
    const std::string e = tree.File("e.mp3", 1000);
    table[e] = Audio(1000, 128, 800, 3);
    model.Append(
        {{e, "/Rock 1999/Best Of/e.mp3", mv::RowKind::FileOnDisk, mv::RowKind::ListLocation},
         {e, "/Rock 1999/e.mp3", mv::RowKind::FileOnDisk, mv::RowKind::ListLocation},
         {"Search\\e", "/Rock 1999/e.mp3", mv::RowKind::SearchRow, mv::RowKind::ListLocation}});
    Current(0);  // before the facts are in: the place alone
    EXPECT_EQ(left.text(), QStringLiteral("On CD 'Rock 1999', folder Best Of"));
    facts->Start();
    WaitForFacts();
    Current(1);
    EXPECT_TRUE(left.text().startsWith(QString::fromStdString(BytesText(1000))));
    EXPECT_TRUE(left.text().endsWith(QStringLiteral(" \u00B7 On CD 'Rock 1999', top folder")))
        << left.text().toStdString();
    EXPECT_EQ(left.toolTip(), left.text());  // the whole text, when the strip is too narrow
    EXPECT_EQ(right.text(), QStringLiteral("/Rock 1999/e.mp3"));
    Current(2);  // a search row is no file: nothing is added
    EXPECT_EQ(left.text(), QStringLiteral("Search\\e"));
    EXPECT_EQ(left.toolTip(), QString());
}

}  // namespace

}  // namespace mv
