#include "dupes/candidate_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <thread>

#include "dupes/index_word_relation.h"

namespace mv {
namespace {

const int kPercents[] = {-9, 0, 1, 33, 50, 79, 80, 99, 100, 101, 102, 150};

PreparedName Name(std::initializer_list<const char*> words) {
    PreparedName p;
    for (const char* w : words) p.words.emplace_back(w);
    return p;
}

// Names over a tiny alphabet, so that words contain one another often, with
// a few very common words, repeats, one-letter words and names without words.
class NameMaker {
  public:
    explicit NameMaker(uint32_t seed) : rng_(seed) {}

    std::string Word() {
        if (Roll(4) == 0) {
            static const char* kCommon[] = {"THE", "LOVE", "01", "A", "OF"};
            return kCommon[Roll(5)];
        }
        std::string w(1 + Roll(5), 'A');
        for (char& c : w) c = static_cast<char>('A' + Roll(3));
        return w;
    }

    PreparedName Fresh() {
        PreparedName p;
        if (Roll(25) == 0) return p;  // only an extension, or only punctuation
        // Now and then a name around the length whose words the index keeps inline.
        const int n = Roll(30) == 0 ? 8 + Roll(6) : 1 + Roll(6);
        for (int k = 0; k < n; ++k) {
            if (!p.words.empty() && Roll(8) == 0) {
                p.words.push_back(p.words[Roll(static_cast<int>(p.words.size()))]);
            } else {
                p.words.push_back(Word());
            }
        }
        p.startsWithBackslash = Roll(50) == 0;
        return p;
    }

    // A near copy: words dropped, added, lengthened, shortened or shuffled.
    PreparedName Variant(PreparedName p) {
        const int edits = 1 + Roll(3);
        for (int e = 0; e < edits; ++e) {
            const int size = static_cast<int>(p.words.size());
            switch (Roll(5)) {
                case 0:
                    if (size > 0) p.words.erase(p.words.begin() + Roll(size));
                    break;
                case 1:
                    p.words.push_back(Word());
                    break;
                case 2:
                    if (size > 0) p.words[Roll(size)] += static_cast<char>('A' + Roll(3));
                    break;
                case 3:
                    if (size > 0 && p.words[0].size() > 1) p.words[0].erase(0, 1);
                    break;
                default:
                    std::shuffle(p.words.begin(), p.words.end(), rng_);
                    break;
            }
        }
        return p;
    }

    std::vector<PreparedName> Set(int count) {
        std::vector<PreparedName> names;
        while (static_cast<int>(names.size()) < count) {
            if (!names.empty() && Roll(3) == 0) {
                names.push_back(Variant(names[Roll(static_cast<int>(names.size()))]));
            } else {
                names.push_back(Fresh());
            }
        }
        return names;
    }

    int Roll(int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng_); }

  private:
    std::mt19937 rng_;
};

std::string Show(const PreparedName& p) {
    std::ostringstream s;
    s << (p.startsWithBackslash ? "\\[" : "[");
    for (const auto& w : p.words) s << ' ' << w;
    s << " ]";
    return s.str();
}

// The candidates must be ascending, distinct, from `from` on, and hold every
// reference that truly matches. Returns how many candidates there were.
size_t ExpectCovers(const CandidateIndex& index, const std::vector<PreparedName>& refs,
                    const PreparedName& probe, uint32_t from, int percent) {
    std::vector<uint32_t> got = {7777};  // the index appends, never clears
    index.Candidates(probe, from, got);
    EXPECT_EQ(got.front(), 7777u);
    got.erase(got.begin());
    for (size_t k = 0; k < got.size(); ++k) {
        EXPECT_GE(got[k], from);
        EXPECT_LT(got[k], refs.size());
        if (k > 0) {
            EXPECT_LT(got[k - 1], got[k]) << "not ascending or repeated";
        }
    }
    for (uint32_t j = from; j < refs.size(); ++j) {
        if (PreparedNamesMatch(refs[j], probe, percent) &&
            !std::binary_search(got.begin(), got.end(), j)) {
            ADD_FAILURE() << "lost match at " << percent << "%: reference " << j << ' '
                          << Show(refs[j]) << " probe " << Show(probe);
        }
    }
    return got.size();
}

TEST(CandidateIndex, SameSetNeverLosesAPair) {
    for (uint32_t seed : {11u, 12u, 13u}) {
        NameMaker maker(seed);
        const auto names = maker.Set(220);
        for (int percent : kPercents) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << " percent " << percent);
            const auto index = CandidateIndex::Build(names, percent);
            for (uint32_t i = 0; i < names.size(); ++i) {
                ExpectCovers(*index, names, names[i], i + 1, percent);
                // Probed by its ids, a reference gets what its text gets.
                for (const uint32_t from : {0u, i + 1}) {
                    std::vector<uint32_t> byText, byIds;
                    index->Candidates(names[i], from, byText);
                    index->CandidatesOfRef(i, from, byIds);
                    ASSERT_EQ(byIds, byText) << Show(names[i]) << " from " << from;
                }
            }
        }
    }
}

TEST(CandidateIndex, SeparateReferencesNeverLoseAPair) {
    for (uint32_t seed : {21u, 22u, 23u}) {
        NameMaker maker(seed);
        const auto refs = maker.Set(220);
        // Probes: near copies of references, plus names with words no
        // reference holds.
        std::vector<PreparedName> probes;
        for (int k = 0; k < 120; ++k) {
            probes.push_back(maker.Roll(2) == 0 ? maker.Variant(refs[maker.Roll(220)])
                                                : maker.Fresh());
        }
        probes.push_back(Name({"ZZZ", "QQQQ"}));
        probes.push_back(Name({}));
        for (int percent : kPercents) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << " percent " << percent);
            const auto index = CandidateIndex::Build(refs, percent);
            // Built on two threads, the index must be the very same.
            const auto twoThreads = CandidateIndex::Build(refs, percent, 2);
            for (const auto& probe : probes) {
                ExpectCovers(*index, refs, probe, 0, percent);
                std::vector<uint32_t> one, two;
                index->Candidates(probe, 0, one);
                twoThreads->Candidates(probe, 0, two);
                EXPECT_EQ(one, two);
            }
        }
    }
}

// Pairs the greedy scan handles in ways a simpler count would get wrong:
// pairs found only through containment, repeats that need two partners,
// pairings where greedy falls short of the best, and probes too long for one
// word mask.
TEST(CandidateIndex, HandMadePairs) {
    struct Case {
        PreparedName ref, probe;
        int percent;
    };
    PreparedName longName;
    // append, not "W" + ...: GCC 12's false -Wrestrict when optimising.
    for (int k = 0; k < 70; ++k)
        longName.words.push_back(std::string("W").append(std::to_string(k)));
    PreparedName longerName = longName;
    longerName.words.push_back("EXTRA");
    const Case cases[] = {
        {Name({"LOVERS", "SONGS"}), Name({"LOVE", "SONG"}), 100},
        {Name({"LOVE", "SONG"}), Name({"LOVERS", "SONGS"}), 101},
        {Name({"THE"}), Name({"OTHER", "SIDE"}), 100},
        {Name({"LOVE", "LOVE"}), Name({"LOVE", "LOVERS"}), 100},
        {Name({"ABCD", "XABC"}), Name({"ABC", "ABCDE"}), 50},
        {Name({"DON", "T", "STOP"}), Name({"DONT", "STOP"}), 80},
        {Name({}), Name({"ANYTHING"}), 100},
        {Name({"ANYTHING"}), Name({}), 101},
        {longName, longName, 80},
        {longName, longerName, 100},
        {longerName, longName, 101},
        // Far longer than any usual name, yet enough at a low percentage.
        {longName, Name({"W0", "W1", "W2", "W3"}), 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.ref) + " / " + Show(c.probe));
        ASSERT_TRUE(PreparedNamesMatch(c.ref, c.probe, c.percent));
        const std::vector<PreparedName> refs = {Name({"UNRELATED"}), c.ref, Name({"NOPE"})};
        std::vector<uint32_t> got;
        CandidateIndex::Build(refs, c.percent)->Candidates(c.probe, 0, got);
        EXPECT_NE(std::find(got.begin(), got.end(), 1u), got.end());
    }
}

// The point of the index: a probe reaches few references. Names that share
// no word, or not enough words, are left out.
TEST(CandidateIndex, LeavesOutPairsThatCannotMatch) {
    const std::vector<PreparedName> refs = {
        Name({"01", "THE", "BAND", "LOVE", "ME", "TENDER"}),
        Name({"02", "THE", "BAND", "LOVE", "HURTS"}),
        Name({"THE", "LOVE", "BOAT"}),
        Name({"A"}),
        Name({}),
    };
    auto candidates = [&](const PreparedName& probe, int percent) {
        std::vector<uint32_t> got;
        CandidateIndex::Build(refs, percent)->Candidates(probe, 0, got);
        return got;
    };
    const auto tender = Name({"THE", "BAND", "LOVE", "ME", "TENDER", "LIVE"});
    EXPECT_EQ(candidates(tender, 80), std::vector<uint32_t>({0}));
    EXPECT_EQ(candidates(Name({"SILENCE"}), 80), std::vector<uint32_t>());
    // "AB" contains the one-letter word "A" but does not pair with it.
    EXPECT_EQ(candidates(Name({"AB"}), 50), std::vector<uint32_t>());
    // At 100 only references whose every word finds a partner, and the one
    // without words.
    EXPECT_EQ(candidates(Name({"LOVERS", "BOATS", "OF", "THE", "SEA"}), 100),
              std::vector<uint32_t>({2, 4}));
    EXPECT_EQ(candidates(Name({"LOVE", "BOAT"}), 101), std::vector<uint32_t>({2}));
    EXPECT_EQ(candidates(Name({"LOVE"}), 101), std::vector<uint32_t>({0, 1, 2}));
    EXPECT_EQ(candidates(tender, 102), std::vector<uint32_t>());
    EXPECT_EQ(candidates(Name({"X"}), 0).size(), refs.size());
}

TEST(CandidateIndex, NarrowsAGeneratedSet) {
    NameMaker maker(31);
    const auto names = maker.Set(400);
    const auto index = CandidateIndex::Build(names, 80);
    size_t candidates = 0;
    for (uint32_t i = 0; i < names.size(); ++i) {
        candidates += ExpectCovers(*index, names, names[i], i + 1, 80);
    }
    // The tiny alphabet makes names share words far more often than real
    // ones do; still, most pairs must be left out.
    EXPECT_LT(candidates, names.size() * (names.size() - 1) / 2 / 4);
}

// Which words pair with which, against testing every pair of words; for
// known words and for words the table has never seen.
TEST(CandidateIndex, WordRelationFindsEveryPartner) {
    NameMaker maker(41);
    WordRelation relation;
    std::vector<std::string> known;
    for (int k = 0; k < 300; ++k) {
        std::string w = maker.Word();
        if (maker.Roll(3) == 0) w += maker.Word();  // longer words too
        relation.Add(w);
        known.push_back(w);
    }
    relation.Finish();
    std::vector<std::string> asked = known;
    for (int k = 0; k < 100; ++k) asked.push_back(maker.Word() + maker.Word());
    for (const std::string& q : asked) {
        std::vector<uint32_t> expected;
        for (uint32_t id = 0; id < relation.Size(); ++id) {
            if (WordsMatch(q, relation.Word(id))) expected.push_back(id);
        }
        std::vector<uint32_t> got;
        relation.MatchesOf(q, got);
        EXPECT_EQ(got, expected) << q;
        if (const auto id = relation.Find(q)) {
            const auto m = relation.Matches(*id);
            EXPECT_EQ(std::vector<uint32_t>(m.begin(), m.end()), expected) << q;
        }
    }
}

// The comparison probes one index from two threads at once.
TEST(CandidateIndex, ConcurrentProbesAgreeWithOneThread) {
    NameMaker maker(51);
    const auto names = maker.Set(600);
    const auto index = CandidateIndex::Build(names, 80);
    auto probeAll = [&](uint32_t first, uint32_t step) {
        std::vector<std::vector<uint32_t>> found(names.size());
        for (uint32_t i = first; i < names.size(); i += step) {
            index->Candidates(names[i], i + 1, found[i]);
        }
        return found;
    };
    const auto alone = probeAll(0, 1);
    std::vector<std::vector<uint32_t>> even, odd;
    {
        std::jthread a([&] { even = probeAll(0, 2); });
        std::jthread b([&] { odd = probeAll(1, 2); });
    }
    for (uint32_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(i % 2 == 0 ? even[i] : odd[i], alone[i]) << "probe " << i;
    }
}

}  // namespace
}  // namespace mv
