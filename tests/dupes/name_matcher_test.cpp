#include "dupes/name_matcher.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "platform/text_encoding.h"

namespace mv {
namespace {

struct Example {
    const char* first;
    const char* second;
    const char* normFirst;
    const char* normSecond;
    bool at80, at100, at101;
};

// The reference table of the matcher: raw names, their normal forms and the
// verdicts at the three percentages that behave differently.
const Example kExamples[] = {
    {"Nightfall - One.mp3", "nightfall_one (live).mp3", "Nightfall One.mp3",
     "nightfall one live .mp3", true, true, false},
    {"01 - Artist - Song Title.mp3", "Artist - Song Title.mp3", "01 Artist Song Title.mp3",
     "Artist Song Title.mp3", true, false, true},
    {"Rovers - Yesterday.mp3", "The Rovers - Yesterday (Remastered).mp3", "Rovers Yesterday.mp3",
     "The Rovers Yesterday Remastered .mp3", false, true, false},
    {"Love Song.mp3", "Lovers Songs.mp3", "Love Song.mp3", "Lovers Songs.mp3", true, true, true},
    {"A Day.mp3", "Day.mp3", "A Day.mp3", "Day.mp3", false, false, true},
    {"Don't Stop.mp3", "Dont Stop.mp3", "Don t Stop.mp3", "Dont Stop.mp3", true, false, true},
    {"Caf\xE9 No\xEBl.mp3", "cafe noel.mp3", "Cafe No l.mp3", "cafe noel.mp3", true, false, true},
    {"Track 1.5.mp3", "Track 15.mp3", "Track 1.5.mp3", "Track 15.mp3", false, false, false},
    {"My.Song.Title.mp3", "My Song Title.mp3", "MySongTitle.mp3", "My Song Title.mp3", false, false,
     false},
    {"ABCD XABC.mp3", "ABC ABCDE.mp3", "ABCD XABC.mp3", "ABC ABCDE.mp3", false, false, false},
    {".mp3", "Anything.mp3", ".mp3", "Anything.mp3", false, true, false},
};

TEST(NameMatcher, ReferenceExamples) {
    for (const Example& e : kExamples) {
        SCOPED_TRACE(std::string(e.first) + " | " + e.second);
        const std::string a = NormalizeName(e.first);
        const std::string b = NormalizeName(e.second);
        EXPECT_EQ(a, e.normFirst);
        EXPECT_EQ(b, e.normSecond);
        EXPECT_EQ(NamesMatch(a, b, 80), e.at80);
        EXPECT_EQ(NamesMatch(a, b, 100), e.at100);
        EXPECT_EQ(NamesMatch(a, b, 101), e.at101);
    }
}

TEST(NameMatcher, NormalizeFoldsAndBlanks) {
    EXPECT_EQ(NormalizeName("\xE8\xE9\xEA\xC8\xC9\xCA\xE0\xC0\xC7\xE7"), "eeeEEEaACc");
    EXPECT_EQ(NormalizeName("a\xE4o\xF6u\xFCn\xF1"), "a o u n ");
    EXPECT_EQ(NormalizeName("  [a]__b\\c"), "a b c");
    EXPECT_EQ(NormalizeName("' - ()"), "");
    EXPECT_EQ(NormalizeName("x - "), "x ");
    // UTF-8 names from a Linux disk fold exactly like their Windows-1252 form.
    EXPECT_EQ(NormalizeName("Caf\xC3\xA9 \xC3\x87"
                            "a.mp3"),
              "Cafe Ca.mp3");
    // A character with no Windows-1252 byte is a blank; a stray byte is read as 1252.
    EXPECT_EQ(NormalizeName("a\xE2\x82\xACz\xE6\x97\xA5q\xE9"), "a z qe");
}

TEST(NameMatcher, InnerDots) {
    EXPECT_EQ(NormalizeName("a.b.c.mp3"), "ab.c.mp3");
    EXPECT_EQ(NormalizeName("My.Song.Title.mp3"), "MySongTitle.mp3");
    EXPECT_EQ(NormalizeName("Song.mpeg"), "Song.mpeg");  // dot among the last six stays
    EXPECT_EQ(NormalizeName("Songs.mpeg"), "Songs.mpeg");
    EXPECT_EQ(NormalizeName("x.abcdef"), "xabcdef");
    EXPECT_EQ(NormalizeName("....."), ".....");
    EXPECT_EQ(NormalizeName("........"), "......");
}

// The normal form step by step, one pass per rule: the model the one-pass
// NormalizeName must agree with on any bytes.
std::string NormalizeStepByStep(std::string_view name) {
    std::string s = ToWindows1252(name);
    for (char& c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0xE8 || b == 0xE9 || b == 0xEA) {
            c = 'e';
        } else if (b == 0xC8 || b == 0xC9 || b == 0xCA) {
            c = 'E';
        } else if (b == 0xE0 || b == 0xC0 || b == 0xC7 || b == 0xE7) {
            c = b == 0xE0 ? 'a' : b == 0xC0 ? 'A' : b == 0xC7 ? 'C' : 'c';
        } else if (!std::isalnum(b) || b > 0x7F) {
            if (c != ' ' && c != '.') c = ' ';
        }
    }
    // Drop the first dot while it stands before the last six characters.
    for (;;) {
        const size_t dot = s.find('.');
        if (dot == std::string::npos || dot + 1 + 5 >= s.size()) break;
        s.erase(dot, 1);
    }
    std::string out;
    for (const char c : s) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    return out;
}

TEST(NameMatcher, NormalFormAndWordsAgreeWithTheStepByStepModel) {
    // Bytes chosen to meet every rule: dots near and far from the end, runs
    // of blanks, folded letters, punctuation, UTF-8 and stray high bytes.
    const std::string pieces[] = {".",    " ", "  ",   "a",        "Z",        "7",
                                  "-",    "_", "\xE9", "\xC3\xA9", "\xC3\x87", "\xE2\x82\xAC",
                                  "\xFF", "'", "mp3",  ".mp3"};
    std::mt19937 rng(11);
    for (int round = 0; round < 20000; ++round) {
        std::string name;
        const int count = static_cast<int>(rng() % 12);
        for (int k = 0; k < count; ++k) name += pieces[rng() % std::size(pieces)];
        const std::string normal = NormalizeStepByStep(name);
        ASSERT_EQ(NormalizeName(name), normal) << name;
        // Its words: the extension cut, split at blanks, upper-cased.
        std::vector<std::string> words;
        std::string word;
        for (const char c : CutExtension(normal) + " ") {
            if (c != ' ') {
                word += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
            } else if (!word.empty()) {
                words.push_back(std::move(word));
                word.clear();
            }
        }
        ASSERT_EQ(PrepareName(normal).words, words) << normal;
    }
}

TEST(NameMatcher, WordsMatchRule) {
    EXPECT_TRUE(WordsMatch("LOVE", "LOVERS"));
    EXPECT_TRUE(WordsMatch("SONGS", "SONG"));
    EXPECT_TRUE(WordsMatch("THE", "OTHER"));
    EXPECT_FALSE(WordsMatch("AB", "ABCDE"));
    EXPECT_FALSE(WordsMatch("1", "01"));
    EXPECT_TRUE(WordsMatch("A", "A"));
    EXPECT_FALSE(WordsMatch("ABC", "ABD"));
    EXPECT_FALSE(WordsMatch("ABC", "CBA"));
}

TEST(NameMatcher, ExtensionCut) {
    EXPECT_EQ(CutExtension("Song.mpeg"), "Song");
    EXPECT_EQ(CutExtension("Song.mpegx"), "Songx");
    EXPECT_EQ(CutExtension("Track 1.5.mp3"), "Track 13");
    EXPECT_EQ(CutExtension("NoDot"), "NoDot");
    EXPECT_EQ(CutExtension("a.b"), "a");
}

TEST(NameMatcher, PercentClasses) {
    const std::string same = "Artist Title.mp3";
    for (int p = -9; p <= 101; ++p) EXPECT_TRUE(NamesMatch(same, same, p)) << p;
    EXPECT_FALSE(NamesMatch(same, same, 102));
    EXPECT_FALSE(NamesMatch(same, same, 1000));

    // Names without words: nothing to share below 100, nothing missing at 100/101.
    EXPECT_FALSE(NamesMatch(".mp3", ".mp3", 0));
    EXPECT_FALSE(NamesMatch(".mp3", ".mp3", -5));
    EXPECT_TRUE(NamesMatch(".mp3", ".mp3", 100));
    EXPECT_TRUE(NamesMatch(".mp3", ".mp3", 101));

    // Zero and below: any words at all.
    EXPECT_TRUE(NamesMatch("Alpha.mp3", "Beta.mp3", 0));
    EXPECT_TRUE(NamesMatch("Alpha.mp3", ".mp3", -3));

    // Exact arithmetic: 4 of 5 at 80 yes, at 81 no.
    EXPECT_TRUE(NamesMatch("A B.mp3", "A B C.mp3", 80));
    EXPECT_FALSE(NamesMatch("A B.mp3", "A B C.mp3", 81));
}

TEST(NameMatcher, PairingRules) {
    // One-letter words pair only with themselves.
    EXPECT_FALSE(NamesMatch("A.mp3", "AB.mp3", 1));
    // A repeated word needs two partners.
    EXPECT_FALSE(NamesMatch("Go Go.mp3", "Go.mp3", 100));
    EXPECT_TRUE(NamesMatch("Go.mp3", "Go Go.mp3", 100));
    // Order and case do not matter.
    EXPECT_TRUE(NamesMatch("Title Artist.mp3", "artist TITLE.mp3", 99));
    // Only ASCII letters are upper-cased.
    EXPECT_FALSE(NamesMatch("ab\xE9.mp3", "AB\xC9.mp3", 99));
    // Names beginning with a backslash fail the guard below 100 only.
    EXPECT_FALSE(NamesMatch("\\x", "x", 50));
    EXPECT_TRUE(NamesMatch("\\x", "\\x", 100));
}

}  // namespace
}  // namespace mv
