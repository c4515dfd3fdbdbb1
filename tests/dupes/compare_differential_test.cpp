#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "dupes/compare_engine.h"
#include "support/core/temp_tree.h"

namespace mv {
using test::TempTree;

bool operator==(const CompareRow& a, const CompareRow& b);
void PrintTo(const CompareRow& r, std::ostream* os);

namespace {

// Words chosen to hit the matcher's corners: containment within two letters,
// one-letter words, accents, inner dots, names without words.
const char* const kWords[] = {"love",  "lover",     "lovers", "song",        "songs",   "the",
                              "other", "a",         "I",      "1",           "01",      "day",
                              "night", "nightfall", "one",    "abc",         "abcd",    "abcde",
                              "xabc",  "live",      "remix",  "caf\xC3\xA9", "no\xEBl", "don't",
                              "track", "1.5",       "15",     "x",           "My.Song", "()"};
const char* const kSeparators[] = {" ", " - ", "_", ".", " (", ") ", "  "};

std::string RandomName(std::mt19937& rng) {
    std::uniform_int_distribution<int> wordCount(0, 5);
    std::uniform_int_distribution<size_t> word(0, std::size(kWords) - 1);
    std::uniform_int_distribution<size_t> sep(0, std::size(kSeparators) - 1);
    std::string name;
    const int n = wordCount(rng);
    for (int k = 0; k < n; ++k) {
        if (k > 0) name += kSeparators[sep(rng)];
        name += kWords[word(rng)];
    }
    return name + (rng() % 5 == 0 ? ".MP3" : ".mp3");
}

std::vector<std::string> RandomList(std::mt19937& rng, size_t size, bool withMarkers) {
    std::vector<std::string> lines;
    // The first line is not always the header: the location then depends on the walk.
    switch (rng() % 4) {
        case 0:
            lines.push_back("\\Mp3 List");
            break;
        case 1:
            lines.push_back("/Loose");
            break;
        case 2:
            lines.push_back(RandomName(rng));
            break;
        default:
            break;
    }
    while (lines.size() < size) {
        const unsigned kind = rng() % 20;
        if (kind == 0 && withMarkers) {
            lines.push_back("\\CD" + std::to_string(rng() % 7));
        } else if (kind <= 2) {
            lines.push_back("/F" + std::to_string(rng() % 5));
        } else if (kind <= 4) {
            lines.push_back("..");
        } else if (kind == 5) {
            lines.push_back("");
        } else {
            lines.push_back(RandomName(rng));
        }
    }
    return lines;
}

void MakeFiles(std::mt19937& rng, const TempTree& tree, size_t count) {
    std::set<std::string> used;
    while (used.size() < count) {
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
        // "d" + std::string when optimising.
        std::string rel = "d";
        rel += std::to_string(rng() % 3);
        rel += '/';
        rel += RandomName(rng);
        if (used.insert(rel).second) tree.File(rel, 1 + rng() % 3);
    }
}

std::vector<CompareRow> Rows(CompareParams p, bool exhaustive, unsigned threads) {
    p.exhaustive = exhaustive;
    p.threads = threads;
    CompareControl control;
    CompareResult r = RunCompare(p, control);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(control.pairsDone.load(), control.pairsTotal.load());
    return std::move(r.rows);
}

const int kPercents[] = {-9, -1, 0,  1,  20, 33, 34, 49,  50,  51,  66,
                         67, 75, 79, 80, 81, 90, 99, 100, 101, 102, 150};

void ExpectSameRows(const CompareParams& base) {
    for (const int percent : kPercents) {
        CompareParams p = base;
        p.percentText = std::to_string(percent);
        const auto reference = Rows(p, true, 1);
        EXPECT_EQ(Rows(p, false, 1), reference) << "percent " << percent;
        EXPECT_EQ(Rows(p, false, 2), reference) << "percent " << percent << ", two threads";
    }
}

TEST(CompareDifferential, NarrowedLoopGivesThePlainLoopsRows) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        TempTree tree;
        MakeFiles(rng, tree, 80);
        const std::vector<std::string> folders{tree.Path("d0"), tree.Path("d1"), tree.Path("d2")};

        CompareParams dupes;
        dupes.mode = kModeFolderVsItself;
        dupes.folders = folders;
        ExpectSameRows(dupes);

        CompareParams list;
        list.mode = kModeFolderVsList;
        list.folders = folders;
        list.listLines = RandomList(rng, 250, seed != 3);  // the last list has no CD marker
        ExpectSameRows(list);

        CompareParams search;
        search.mode = kModeSearchList;
        search.listLines = list.listLines;
        for (int k = 0; k < 3; ++k) {
            search.searchText = RandomName(rng);
            ExpectSameRows(search);
        }
    }
}

}  // namespace
}  // namespace mv
