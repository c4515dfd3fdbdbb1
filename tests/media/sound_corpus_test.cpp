#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "media/print_similarity.h"
#include "media/sound_print.h"
#include "media/sound_search.h"
#include "support/core/mp3_fixture.h"

// The prints against recordings made for the purpose: every copy of a
// recording (other bitrates, VBR, 22 kHz mono, a second of silence first,
// half a second cut) must be found, and no two recordings taken for one.
namespace mv {
namespace {

namespace fs = std::filesystem;

class SoundCorpusTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = fs::temp_directory_path() / ("mv_sound_corpus_" + std::to_string(::getpid()));
        const std::string make = "python3 '" MV_SOUND_CORPUS "' '" + dir_.string() +
                                 "' --melodies 3 --speech 2 --seconds 12";
        made_ = test::Mp3ToolsAvailable() &&
                std::system("command -v espeak-ng >/dev/null 2>&1") == 0 &&
                std::system(make.c_str()) == 0;
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void SetUp() override {
        if (!made_) GTEST_SKIP() << "sox, lame or espeak-ng missing";
    }
    static std::vector<std::string> Files() {
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(dir_)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }
    static std::string Recording(const std::string& path) {
        const std::string name = fs::path(path).filename();
        return name.substr(0, name.find('_'));
    }
    static inline fs::path dir_;
    static inline bool made_ = false;
};

TEST_F(SoundCorpusTest, EveryCopyPairsAndNoTwoRecordingsDo) {
    const std::vector<std::string> files = Files();
    ASSERT_EQ(files.size(), 30u);
    std::set<std::pair<std::string, std::string>> expected;
    for (const auto& a : files) {
        for (const auto& b : files) {
            if (a < b && Recording(a) == Recording(b)) expected.emplace(a, b);
        }
    }
    SoundSearchParams params;
    params.paths = files;
    const SoundSearchResult result = FindSameSound(params);
    EXPECT_EQ(result.printed, files.size());
    EXPECT_TRUE(result.passedOver.empty());
    std::set<std::pair<std::string, std::string>> found;
    for (const SoundPair& pair : result.pairs) {
        found.emplace(std::min(pair.left, pair.right), std::max(pair.left, pair.right));
        EXPECT_EQ(VerdictOf(pair.similarity), SoundVerdict::Same)
            << pair.left << " ~ " << pair.right;
    }
    EXPECT_EQ(found, expected);
    // The index kept the comparisons far below every pair.
    EXPECT_LT(result.candidates, files.size() * (files.size() - 1) / 4);
}

// The coarse pass finds the same best shift as trying every one, and every
// pair lands on the side of the thresholds its recordings say.
TEST_F(SoundCorpusTest, FastComparisonAgreesWithEveryShift) {
    std::map<std::string, SoundPrint> prints;
    for (const auto& file : Files()) {
        const SoundPrintResult r = ReadSoundPrint({file});
        ASSERT_EQ(r.status, SoundPrintStatus::Printed) << file << ": " << r.problem;
        EXPECT_NEAR(static_cast<double>(r.print.durationMs), 12000.0, 1100.0) << file;
        prints.emplace(file, r.print);
    }
    for (const auto& [a, pa] : prints) {
        for (const auto& [b, pb] : prints) {
            if (a >= b) continue;
            const PrintMatch fast = ComparePrints(pa.items, pb.items);
            const PrintMatch full = ComparePrintsExhaustive(pa.items, pb.items);
            const SoundVerdict want =
                Recording(a) == Recording(b) ? SoundVerdict::Same : SoundVerdict::Different;
            EXPECT_EQ(VerdictOf(full.similarity), want) << a << " ~ " << b;
            if (want == SoundVerdict::Same) {
                EXPECT_DOUBLE_EQ(fast.similarity, full.similarity) << a << " ~ " << b;
                EXPECT_EQ(fast.offset, full.offset);
            } else {
                EXPECT_LE(fast.similarity, full.similarity);
            }
        }
    }
}

// The copy with a second of silence first is found about a second later.
TEST_F(SoundCorpusTest, SilenceAddedShowsAsTheShift) {
    const std::string dir = dir_.string();
    const auto plain = ReadSoundPrint({dir + "/melody000_cbr128.mp3"});
    const auto later = ReadSoundPrint({dir + "/melody000_silence1s.mp3"});
    const PrintMatch match = ComparePrints(plain.print.items, later.print.items);
    EXPECT_NEAR(match.offset * SoundPrintItemMs(), 1000.0, 2 * SoundPrintItemMs());
}

}  // namespace
}  // namespace mv
