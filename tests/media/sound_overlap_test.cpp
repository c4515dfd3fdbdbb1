#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "media/print_similarity.h"
#include "media/sound_print.h"
#include "support/core/mp3_fixture.h"
#include "support/core/temp_tree.h"

// Two recordings that agree for a few seconds (one's end, the other's start)
// are not one recording: the part of the shorter print the shift leaves
// uncovered counts against the match. Copies that lie within each other but
// for a shift still score as copies.
namespace mv {
namespace {

using Items = std::vector<std::uint32_t>;

Items RandomItems(std::mt19937& rng, std::size_t n) {
    Items items(n);
    for (auto& item : items) item = static_cast<std::uint32_t>(rng());
    return items;
}

Items Join(std::initializer_list<Items> parts) {
    Items joined;
    for (const Items& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

TEST(PrintOverlapTest, OnlyMatchesAlongTheShorterPrintAreSame) {
    std::mt19937 rng(5);
    const Items base = RandomItems(rng, 80);
    const Items head(base.begin(), base.begin() + 40);
    const Items tail(base.begin() + 40, base.end());
    const Items song = RandomItems(rng, 960);  // two minutes
    struct Case {
        const char* what;
        Items other;
        bool same;
    };
    const std::vector<Case> cases = {
        {"starts with base's second half", Join({tail, RandomItems(rng, 40)}), false},
        {"a second of its own, then base's last 35 items",
         Join({RandomItems(rng, 8), Items(base.end() - 35, base.end()), RandomItems(rng, 40)}),
         false},
        {"base's first half, then its own", Join({head, RandomItems(rng, 40)}), false},
        {"base cut after 70 items", Items(base.begin(), base.begin() + 70), true},
        {"base after a second of silence", Join({Items(8, 0u), base}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VerdictOf(ComparePrints(base, c.other).similarity) == SoundVerdict::Same, c.same);
        EXPECT_EQ(
            VerdictOf(ComparePrintsExhaustive(base, c.other).similarity) == SoundVerdict::Same,
            c.same);
    }
    // A long song three seconds later (both prints cut at two minutes) is
    // still the song: 24 items uncovered out of 960.
    const Items later = Join({Items(song.begin() + 24, song.end()), RandomItems(rng, 24)});
    const PrintMatch m = ComparePrints(song, later);
    EXPECT_EQ(m.offset, -24);
    EXPECT_NEAR(m.similarity, (936 + 12) / 960.0, 1e-9);
}

// `count` notes of a second each, the n-th at 220 + 37 n Hz, as an MP3.
std::string NotesMp3(const test::TempTree& tree, const std::string& name, int first, int count,
                     const std::string& lame) {
    std::string join = "sox";
    for (int n = first; n < first + count; ++n) {
        const std::string note = tree.Path("note" + std::to_string(n) + ".wav");
        const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + note + "' synth 1 triangle " +
                                 std::to_string(220 + 37 * n) + " fade 0.01 1 0.05 vol 0.6";
        if (std::system(make.c_str()) != 0) return {};
        join += " '" + note + "'";
    }
    const std::string wav = tree.Path(name + ".wav");
    const std::string mp3 = tree.Path(name + ".mp3");
    join += " '" + wav + "' && lame --quiet " + lame + " '" + wav + "' '" + mp3 + "'";
    return std::system(join.c_str()) == 0 ? mp3 : std::string();
}

// Ten notes against ten that begin with the first's last seven: the seven
// seconds agree bit for bit at a three-second shift, which is not a copy.
TEST(PrintOverlapTest, RecordingsSharingSevenSecondsAreNotOne) {
    if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
    test::TempTree tree;
    const std::string first = NotesMp3(tree, "first", 0, 10, "-b 128");
    const std::string next = NotesMp3(tree, "next", 3, 10, "-V 4");
    const std::string copy = NotesMp3(tree, "copy", 0, 10, "-V 4");
    ASSERT_FALSE(first.empty() || next.empty() || copy.empty());
    const SoundPrintResult a = ReadSoundPrint({first});
    const SoundPrintResult b = ReadSoundPrint({next});
    const SoundPrintResult c = ReadSoundPrint({copy});
    ASSERT_EQ(a.status, SoundPrintStatus::Printed) << a.problem;
    ASSERT_EQ(b.status, SoundPrintStatus::Printed) << b.problem;
    ASSERT_EQ(c.status, SoundPrintStatus::Printed) << c.problem;
    EXPECT_NE(VerdictOf(ComparePrintsExhaustive(a.print.items, b.print.items).similarity),
              SoundVerdict::Same);
    EXPECT_EQ(VerdictOf(ComparePrints(a.print.items, c.print.items).similarity),
              SoundVerdict::Same);
}

}  // namespace
}  // namespace mv
