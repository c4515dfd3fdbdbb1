// The check of the pairs' sound: its verdicts in the pair details, the
// same-recording mark, Keep only same-recording pairs, Stop and a new
// comparison, with a check that answers from a table (the prints themselves
// are tested with real files in tests/media and in the search test here).
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <chrono>
#include <map>
#include <thread>

#include "dupes/sound_dupes.h"
#include "dupes/windows/pair_facts_handlers.h"
#include "dupes/windows/result_pair_model.h"
#include "dupes/windows/sound_check_handlers.h"
#include "support/widgets/test_application.h"

namespace mv {

namespace {

TEST(SoundVerdictText, SaysTheVerdictWithTheFigureCutToTwoDecimals) {
    const std::vector<std::pair<std::optional<double>, std::string>> cases = {
        {0.97, "same recording (0.97)"},
        {1.0, "same recording (1.00)"},
        {kSameRecording, "same recording (0.85)"},
        {0.8499, "unsure"},
        {kDifferentRecording, "unsure"},
        {0.7999, "different recording (0.79)"},  // never shown as the line it is below
        {0.31, "different recording (0.31)"},
        {0.0, "different recording (0.00)"},
        {std::nullopt, "unsure"},  // a file without a print
    };
    for (const auto& [similarity, text] : cases) {
        EXPECT_EQ(SoundVerdictText(similarity), text) << similarity.value_or(-1);
    }
}

class SoundCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mv::test::TestApplication();
        list.setModel(&model);
        PairFactsWidgets f;
        f.lbCompRes = &list;
        f.lRes = &lRes;
        f.gp = &gp;
        f.bCancel = &stop;
        f.lLeftFacts = &left;
        f.lRightFacts = &right;
        f.bKeepBetter = &keepBetter;
        f.bKeepSameAudio = &keepSameAudio;
        facts = std::make_unique<PairFactsHandlers>(f, model, PairFactsHooks{});
        SoundCheckWidgets w;
        w.gp = &gp;
        w.bCancel = &stop;
        w.bCheckSound = &checkSound;
        w.bKeepSameRecording = &keepSame;
        SoundCheckHooks hooks;
        hooks.check = [this](const mv::PairSoundParams& params) {
            asked = params.pairs;
            mv::PairSoundResult r;
            while (block && params.progress(0, 2 * params.pairs.size())) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            if (block) {
                r.stopped = true;
                return r;
            }
            for (const auto& pair : params.pairs) {
                const auto it = table.find(pair);
                r.similarity.push_back(it == table.end() ? std::nullopt : it->second);
            }
            return r;
        };
        check = std::make_unique<SoundCheckHandlers>(w, model, std::move(hooks));
    }

    void WaitForCheck() {
        QElapsedTimer t;
        t.start();
        while (check->Checking() && t.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QCoreApplication::processEvents();
    }

    QImage Mark(int row) const {
        return model.data(model.index(row, 0), Qt::DecorationRole)
            .value<QIcon>()
            .pixmap(12, 12)
            .toImage();
    }
    QString RightStrip(int row) {
        list.setCurrentIndex(model.index(row, 0));
        return right.text();
    }

    ResultPairModel model;
    QListView list;
    QLabel lRes, left, right;
    QProgressBar gp;
    QPushButton stop;
    QAction keepBetter{nullptr}, keepSameAudio{nullptr}, checkSound{nullptr}, keepSame{nullptr};
    std::map<std::pair<std::string, std::string>, std::optional<double>> table;
    std::vector<std::pair<std::string, std::string>> asked;
    std::atomic<bool> block{false};
    std::unique_ptr<PairFactsHandlers> facts;
    std::unique_ptr<SoundCheckHandlers> check;
};

TEST_F(SoundCheckTest, VerdictsMarksAndKeepOnlySameRecordingPairs) {
    table[{"/m/a.mp3", "/m/b.mp3"}] = 0.97;
    table[{"/m/c.mp3", "/m/d.mp3"}] = 0.31;
    table[{"/m/e.mp3", "/m/f.mp3"}] = 0.8;
    table[{"/m/g.mp3", "/m/h.mp3"}] = 0.9;
    model.Append({{"/m/a.mp3", "/m/b.mp3"},
                  {"/m/c.mp3", "/m/d.mp3"},
                  {"/m/e.mp3", "/m/f.mp3"},
                  {"/m/x.mp3", "/CD1/x.mp3", mv::RowKind::FileOnDisk, mv::RowKind::ListLocation},
                  {"/m/g.mp3", "/m/h.mp3"},
                  {"/m/i.mp3", "/m/j.mp3"}});  // no print: not in the table
    model.SetSameAudio({false, false, false, false, true, false});
    EXPECT_FALSE(keepSame.isEnabled());
    checkSound.trigger();
    WaitForCheck();

    // Only the rows of two files are checked.
    EXPECT_EQ(asked.size(), 5u);
    EXPECT_TRUE(RightStrip(0).endsWith(QStringLiteral("same recording (0.97)")));
    EXPECT_TRUE(RightStrip(1).endsWith(QStringLiteral("different recording (0.31)")));
    EXPECT_TRUE(RightStrip(2).endsWith(QStringLiteral("unsure")));
    EXPECT_EQ(RightStrip(3), QStringLiteral("/CD1/x.mp3"));
    EXPECT_TRUE(RightStrip(5).endsWith(QStringLiteral("unsure")));

    // The same-recording mark reads without colour and is not the same-audio
    // one; a pair of the same audio keeps its own sign and is named both ways.
    const QImage recording = Mark(0);
    ASSERT_FALSE(recording.isNull());
    EXPECT_FALSE(Mark(4).isNull());
    EXPECT_NE(recording, Mark(4));
    EXPECT_TRUE(Mark(2).isNull());
    EXPECT_TRUE(model.data(model.index(0, 1), Qt::DecorationRole).isNull());
    EXPECT_EQ(model.data(model.index(0, 0), Qt::AccessibleDescriptionRole).toString(),
              QStringLiteral("same recording"));
    EXPECT_EQ(model.data(model.index(4, 0), Qt::AccessibleDescriptionRole).toString(),
              QStringLiteral("same audio, same recording"));

    ASSERT_TRUE(keepSame.isEnabled());
    keepSame.trigger();
    ASSERT_EQ(model.rows().size(), 2u);
    EXPECT_EQ(model.rows()[0].left, "/m/a.mp3");
    EXPECT_EQ(model.rows()[1].left, "/m/g.mp3");
    EXPECT_TRUE(model.SameRecording(1));
    EXPECT_TRUE(model.SameAudio(1));
}

// The lists stay usable during the check: a row that goes or swaps sides
// meanwhile leaves every other row with its own verdict.
TEST_F(SoundCheckTest, RowsChangedDuringTheCheckKeepTheirOwnVerdicts) {
    table[{"/m/a.mp3", "/m/b.mp3"}] = 0.2;
    table[{"/m/c.mp3", "/m/d.mp3"}] = 0.95;
    table[{"/m/e.mp3", "/m/f.mp3"}] = 0.3;
    model.Append({{"/m/a.mp3", "/m/b.mp3"}, {"/m/c.mp3", "/m/d.mp3"}, {"/m/e.mp3", "/m/f.mp3"}});
    block = true;
    checkSound.trigger();
    model.RemoveRows({0});
    model.SwapSides(1);
    std::thread release([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        block = false;
    });
    WaitForCheck();
    release.join();
    ASSERT_EQ(model.rows().size(), 2u);
    EXPECT_TRUE(model.SameRecording(0));
    EXPECT_EQ(model.SoundOf(1).similarity, std::optional<double>(0.3));
    EXPECT_TRUE(RightStrip(0).endsWith(QStringLiteral("same recording (0.95)")));
}

TEST_F(SoundCheckTest, StopAndANewComparisonEndTheCheckAndLeaveNoVerdicts) {
    table[{"/m/a.mp3", "/m/b.mp3"}] = 0.97;
    model.Append({{"/m/a.mp3", "/m/b.mp3"}});
    block = true;
    checkSound.trigger();
    EXPECT_TRUE(check->Checking());
    stop.click();
    WaitForCheck();
    EXPECT_FALSE(check->Checking());
    EXPECT_FALSE(keepSame.isEnabled());  // a stopped check is no basis for keeping
    EXPECT_FALSE(model.SoundOf(0).checked);
    EXPECT_FALSE(RightStrip(0).contains(QStringLiteral("recording")));

    // A new comparison clears the rows while the check runs: it ends, and
    // nothing of it reaches the new rows.
    checkSound.trigger();
    EXPECT_TRUE(check->Checking());
    model.Clear();
    EXPECT_FALSE(check->Checking());
    block = false;
    model.Append({{"/m/a.mp3", "/m/b.mp3"}});
    QCoreApplication::processEvents();
    EXPECT_FALSE(model.SoundOf(0).checked);
    EXPECT_FALSE(model.SameRecording(0));
    EXPECT_FALSE(keepSame.isEnabled());
}

}  // namespace

}  // namespace mv
