// Find sound-alike duplicates in the folder, in the frame of a folder
// comparison: the files it searches, the lists and lRes it fills, the busy
// state and Stop, with a search that answers from a table; then once with
// real MP3 files lame makes at test time, through the check of the pairs too.
#include <gtest/gtest.h>

#include <QTimer>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "compare_widgets.h"
#include "dupes/sound_dupes.h"
#include "dupes/windows/sound_search_commands.h"
#include "media/media_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {

namespace {

using dupestest::L;

class SoundSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        music = tree.Folder("Music");
        w.folder = music;
        w.cbMinimize->setChecked(false);
        w.MakeCommands();
        SoundSearchHooks hooks;
        hooks.find = [this](const mv::SoundSearchParams& p) {
            searched = p.paths;
            cacheSeen = p.cacheFile;
            busyDuringSearch = w.busy;
            p.progress(1, p.paths.size());
            mv::SoundSearchResult r;
            if (waitForStop) {
                const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!p.stop->load() && std::chrono::steady_clock::now() < limit) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                r.stopped = true;
                return r;
            }
            r.pairs = pairs;
            return r;
        };
        sound = std::make_unique<SoundSearchCommands>(*w.commands, std::move(hooks));
        sound->SetCacheFile(tree.Path("cache.sqlite"));
        w.handlers->Model().Append({{"old", "row"}});
    }
    ResultPairModel& M() { return w.handlers->Model(); }

    mv::test::TempTree tree;
    dupestest::CompareWidgetsFixture w{tree.Root()};
    std::string music;
    std::vector<mv::SoundPair> pairs;
    std::vector<std::string> searched;
    std::filesystem::path cacheSeen;
    std::atomic<bool> busyDuringSearch{false};
    std::atomic<bool> waitForStop{false};
    std::unique_ptr<SoundSearchCommands> sound;
};

TEST_F(SoundSearchTest, SearchesTheFolderAsForNamesAndFillsTheLists) {
    const std::string a = tree.File("Music/a.mp3"), b = tree.File("Music/Sub/b.MP3");
    tree.File("Music/notes.txt");
    tree.File("Music/.hidden.mp3");
    pairs = {{a, b, 0.98}};
    const mv::CompareResult result = sound->bSoundFolderClick();

    // Recursing, as cbRec says (it starts checked): every matching file below.
    EXPECT_EQ(std::set<std::string>(searched.begin(), searched.end()),
              (std::set<std::string>{a, b}));
    EXPECT_EQ(cacheSeen, tree.Path("cache.sqlite"));
    EXPECT_TRUE(busyDuringSearch);
    EXPECT_FALSE(w.busy);
    EXPECT_EQ(w.ended, std::vector<mv::CompareMode>{mv::kModeFolderVsItself});  // the facts start
    ASSERT_EQ(M().rowCount(), 1);                                               // the old row went
    EXPECT_EQ(M().rows()[0].left, a);
    EXPECT_EQ(M().rows()[0].right, b);
    EXPECT_EQ(M().rows()[0].rightKind, mv::RowKind::FileOnDisk);
    EXPECT_TRUE(w.handlers->SwitchAllowed());
    EXPECT_TRUE(w.lRes->text().startsWith(L("1 result in ")));
    EXPECT_EQ(result.rowCount, 1u);
    EXPECT_EQ(w.dialogs.Texts(), QStringList{L("Comparison finished")});
    EXPECT_TRUE(w.bDelete->isEnabled());

    // Without recursing, the folder's own files only.
    w.cbRec->setChecked(false);
    pairs.clear();
    sound->bSoundFolderClick();
    EXPECT_EQ(searched, std::vector<std::string>{a});
    EXPECT_EQ(M().rowCount(), 0);
}

TEST_F(SoundSearchTest, StopEndsTheSearchWithNoRows) {
    const std::string a = tree.File("Music/a.mp3"), b = tree.File("Music/b.mp3");
    pairs = {{a, b, 0.98}};
    waitForStop = true;
    QTimer::singleShot(20, [this] { w.commands->bCancelClick(); });
    const mv::CompareResult result = sound->bSoundFolderClick();
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(M().rowCount(), 0);
    EXPECT_EQ(w.dialogs.Texts(), QStringList{L("Comparison Cancelled")});
    EXPECT_FALSE(w.busy);
    EXPECT_FALSE(w.commands->Running());
}

// Real prints: one recording at two bitrates under unrelated names pairs,
// the smaller file on the left, and a tone does not; the check of the pairs
// then says the same of them.
TEST(SoundSearchRealFiles, OneRecordingPairsUnderAnyNameAndTheCheckAgrees) {
    if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
    mv::test::TempTree tree;
    const auto low = test::SweepMp3(tree.Path("work"), "-b 96", 8.0);
    const auto high = test::SweepMp3(tree.Path("work"), "-b 256", 8.0);
    ASSERT_TRUE(low && high);
    const std::string lowPath = tree.File("Music/first take.mp3", *low);
    const std::string highPath = tree.File("Music/Sub/other name.mp3", *high);
    const auto tone = test::MakeToneMp3(tree.Folder("Music/Sub"), 440, 8.0);
    ASSERT_TRUE(tone);

    dupestest::CompareWidgetsFixture w{tree.Root()};
    w.folder = tree.Path("Music");
    w.cbMinimize->setChecked(false);
    w.MakeCommands();
    SoundSearchCommands sound(*w.commands, {});
    sound.SetCacheFile(tree.Path("cache.sqlite"));
    sound.bSoundFolderClick();
    const ResultPairModel& model = w.handlers->Model();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rows()[0].left, lowPath);
    EXPECT_EQ(model.rows()[0].right, highPath);

    mv::PairSoundParams check;
    check.pairs = {{lowPath, highPath}, {lowPath, tone->string()}, {lowPath, tree.File("x.mp3")}};
    check.cacheFile = tree.Path("cache.sqlite");
    const mv::PairSoundResult checked = CheckPairSound(check);
    ASSERT_EQ(checked.similarity.size(), 3u);
    EXPECT_EQ(SoundVerdictText(checked.similarity[0]).rfind("same recording (", 0), 0u);
    ASSERT_TRUE(checked.similarity[1].has_value());
    EXPECT_EQ(VerdictOf(*checked.similarity[1]), SoundVerdict::Different);
    EXPECT_FALSE(checked.similarity[2].has_value());  // no audio in it
    EXPECT_TRUE(checked.cacheProblem.empty()) << checked.cacheProblem;
}

}  // namespace

}  // namespace mv
