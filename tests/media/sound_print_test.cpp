#include "media/sound_print.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "media/print_similarity.h"
#include "media_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

// What holds no MPEG audio gets a clear answer and no print; what is not a
// regular file is refused without being opened for reading (a FIFO would block).
TEST(SoundPrintTest, RefusesWhatIsNoAudioWithoutBlocking) {
    test::TempTree tree;
    std::mt19937 rng(3);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise) c = static_cast<char>(rng());
    const auto fifo = tree.Path("pipe.mp3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::tuple<std::string, SoundPrintStatus>> cases = {
        {tree.File("empty.mp3", ""), SoundPrintStatus::NotMpegAudio},
        {tree.File("text.mp3", std::string(5000, 'a') + "\nnot a song\n"),
         SoundPrintStatus::NotMpegAudio},
        {tree.File("noise.mp3", noise), SoundPrintStatus::NotMpegAudio},
        {tree.Path("missing.mp3"), SoundPrintStatus::Unreadable},
        {tree.Root(), SoundPrintStatus::Unreadable},
        {fifo, SoundPrintStatus::Unreadable},
    };
    for (const auto& [path, status] : cases) {
        SCOPED_TRACE(path);
        const SoundPrintResult r = ReadSoundPrint({path});
        EXPECT_EQ(r.status, status) << r.problem;
        EXPECT_FALSE(r.problem.empty());
        EXPECT_TRUE(r.print.items.empty());
    }
}

// Only the first maxSeconds are decoded; the print's length follows them.
TEST(SoundPrintTest, PrintsNoMoreThanAskedFor) {
    if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
    test::TempTree tree;
    const auto bytes = test::SweepMp3(tree.Path("work"), "-b 128", 8.0);
    ASSERT_TRUE(bytes);
    const auto song = test::WriteBytes(tree.Path("sweep.mp3"), test::Id3v2Tag("T") + *bytes);
    const SoundPrintResult whole = ReadSoundPrint({song});
    const SoundPrintResult part = ReadSoundPrint({song, 3});
    ASSERT_EQ(whole.status, SoundPrintStatus::Printed) << whole.problem;
    ASSERT_EQ(part.status, SoundPrintStatus::Printed) << part.problem;
    EXPECT_NEAR(static_cast<double>(whole.print.durationMs), 8000.0, 100.0);
    EXPECT_EQ(part.print.durationMs, 3000);
    const double perSecond = 1000.0 / SoundPrintItemMs();
    // Chromaprint needs a few seconds before its first item: the five seconds
    // left out show as the difference.
    EXPECT_NEAR(static_cast<double>(whole.print.items.size() - part.print.items.size()),
                5 * perSecond, 1.5);
    EXPECT_TRUE(whole.keyed);
    EXPECT_EQ(whole.key.size, bytes->size() + test::Id3v2Tag("T").size());
}

std::vector<std::uint32_t> RandomItems(std::mt19937& rng, std::size_t n) {
    std::vector<std::uint32_t> items(n);
    for (auto& item : items) item = static_cast<std::uint32_t>(rng());
    return items;
}

// Shifts inside the window are found exactly, with the share of flipped
// bits as the loss; shifts beyond it and unrelated prints stay low.
TEST(PrintSimilarityTest, FindsTheShiftAndScoresTheBitsThatAgree) {
    std::mt19937 rng(11);
    const auto base = RandomItems(rng, 400);
    const int limit = MaxShiftItems();
    ASSERT_NEAR(limit * SoundPrintItemMs(), kMaxShiftSeconds * 1000.0, SoundPrintItemMs());
    struct Case {
        int lead;     // items put before b's copy of base (negative: cut from it)
        int flipped;  // bits flipped in every item of b
        bool found;
    };
    const std::vector<Case> cases = {{0, 0, true},     {7, 0, true},      {-5, 0, true},
                                     {limit, 3, true}, {-limit, 2, true}, {limit + 3, 0, false},
                                     {12, 8, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "lead " << c.lead << " flipped " << c.flipped);
        std::vector<std::uint32_t> b = RandomItems(rng, c.lead > 0 ? c.lead : 0);
        b.insert(b.end(), base.begin() + (c.lead < 0 ? -c.lead : 0), base.end());
        for (std::size_t i = c.lead > 0 ? c.lead : 0; i < b.size(); ++i) {
            for (int bit = 0; bit < c.flipped; ++bit) b[i] ^= 1u << ((i + bit * 5) % 32);
        }
        const PrintMatch m = ComparePrints(base, b);
        if (c.found) {
            EXPECT_EQ(m.offset, c.lead);
            EXPECT_NEAR(m.similarity, 1.0 - c.flipped / 32.0, 1e-9);
        } else {
            EXPECT_EQ(VerdictOf(m.similarity), SoundVerdict::Different);
        }
    }
    EXPECT_EQ(VerdictOf(ComparePrints(base, RandomItems(rng, 400)).similarity),
              SoundVerdict::Different);
    // Too little overlap is no match, however equal the bits.
    const std::vector<std::uint32_t> tail(base.end() - 10, base.end());
    EXPECT_EQ(ComparePrints(base, tail).similarity, 0.0);
    EXPECT_EQ(ComparePrints({}, base).similarity, 0.0);
}

}  // namespace
}  // namespace mv
