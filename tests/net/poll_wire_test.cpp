// The poll's wire format: the window's reading rules on the odd replies it
// must survive, and the server's formatting read back by them.
#include "net/poll_wire.h"

#include <gtest/gtest.h>

#include <random>

#include "net/version_check.h"

namespace {

using Options = std::vector<std::string>;

TEST(PollWire, QuestionRepliesAreReadAsTheWindowReadsThem) {
    const struct {
        const char* reply;
        const char* question;
        Options options;
    } cases[] = {
        {"3Colour?/red/green/blue/", "Colour?", {"red", "green", "blue"}},
        {"3Colour?/red/green/blue", "Colour?", {"red", "green", "blue"}},
        // Only two options with no final slash: the unended rest comes twice.
        {"3Colour?/red/green", "Colour?", {"red", "green", "green"}},
        {"3Colour?/red/", "Colour?", {"red", "", ""}},
        {"0Nothing to choose?/", "Nothing to choose?", {}},
        {"0", "", {}},
        {"2No slash at all", "No slash at all", {"", ""}},
        {"1Q?/a/b/c/", "Q?", {"a"}},
        {"2Q?//x/", "Q?", {"", "x"}},
        {"9Q?/1/2/3/4/5/6/7/8/9/", "Q?", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
    };
    for (const auto& c : cases) {
        const auto parsed = mv::ParseQuestion(c.reply);
        ASSERT_TRUE(parsed) << c.reply;
        EXPECT_EQ(parsed->question, c.question) << c.reply;
        EXPECT_EQ(parsed->options, c.options) << c.reply;
    }
    for (const char* unreadable : {"", "Colour?/red/", "x3/a/", "-1Q/"})
        EXPECT_FALSE(mv::ParseQuestion(unreadable)) << unreadable;
}

TEST(PollWire, ListsAndResultsTakeALastPieceWithoutSlashWhole) {
    EXPECT_EQ(mv::ParseQuestionList("a/b/c/"), (Options{"a", "b", "c"}));
    EXPECT_EQ(mv::ParseQuestionList("a/b/c"), (Options{"a", "b", "c"}));
    EXPECT_EQ(mv::ParseQuestionList("a//"), (Options{"a", ""}));
    EXPECT_TRUE(mv::ParseQuestionList("").empty());

    const struct {
        const char* reply;
        Options lines;
    } results[] = {
        {"red/12/blue/3/", {"red - 12 votes.", "blue - 3 votes."}},
        {"red/12/blue/3", {"red - 12 votes.", "blue - 3 votes."}},
        {"red/12/blue", {"red - 12 votes.", "blue -  votes."}},
        {"", {}},
    };
    for (const auto& r : results) {
        Options lines;
        for (const auto& line : mv::ParseResults(r.reply))
            lines.push_back(mv::ResultLineText(line));
        EXPECT_EQ(lines, r.lines) << r.reply;
    }
}

TEST(PollWire, WhatTheServerFormatsReadsBackUnchanged) {
    std::mt19937 rng(5);
    const std::string alphabet = "ab Z?!\xc3\xa9-0123456789";
    auto text = [&] {
        std::string t;
        for (size_t n = rng() % 8; n > 0; --n) t += alphabet[rng() % alphabet.size()];
        return t;
    };
    for (int round = 0; round < 500; ++round) {
        mv::PollQuestion poll{text(), {}};
        for (size_t n = rng() % (mv::kMaxPollOptions + 1); n > 0; --n)
            poll.options.push_back(text());
        const auto read = mv::ParseQuestion(mv::FormatQuestion(poll));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->question, poll.question);
        EXPECT_EQ(read->options, poll.options);

        std::vector<std::string> questions;
        std::vector<std::pair<std::string, long long>> counts;
        for (const auto& o : poll.options) {
            questions.push_back(o);
            counts.emplace_back(o, static_cast<long long>(rng() % 100000));
        }
        // An empty last item cannot be told from no item, as the window reads.
        if (!questions.empty() && questions.back().empty()) continue;
        EXPECT_EQ(mv::ParseQuestionList(mv::FormatQuestionList(questions)), questions);
        const auto lines = mv::ParseResults(mv::FormatResults(counts));
        ASSERT_EQ(lines.size(), counts.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].option, counts[i].first);
            EXPECT_EQ(lines[i].count, std::to_string(counts[i].second));
        }
    }
}

TEST(PollWire, NumbersAndTextsTheWireRefuses) {
    const struct {
        const char* text;
        std::optional<long long> value;
    } numbers[] = {{"1", 1},
                   {"42", 42},
                   {"1000", 1000},
                   {"1001", std::nullopt},
                   {"0", std::nullopt},
                   {"07", std::nullopt},
                   {"", std::nullopt},
                   {"+3", std::nullopt},
                   {"3 ", std::nullopt},
                   {"1e2", std::nullopt},
                   {"99999999999999999999999", std::nullopt}};
    for (const auto& n : numbers) EXPECT_EQ(mv::ParseWireNumber(n.text, 1000), n.value) << n.text;

    EXPECT_EQ(mv::WireTextProblem("Colour?"), "");
    EXPECT_EQ(mv::WireTextProblem("Caf\xc3\xa9"), "");
    EXPECT_NE(mv::WireTextProblem("AC/DC"), "");
    EXPECT_NE(mv::WireTextProblem("two\nlines"), "");
}

TEST(VersionCompare, FirstFourCharactersAgainstOwnVersion) {
    const struct {
        const char* body;
        bool differs;
    } cases[] = {
        {"1.52\r\n", false}, {"1.52\n", false}, {"1.520", false}, {"1.52b", false},
        {"1.52", false},     {"1.6\r\n", true}, {"1.6\n", true},  {"1.51", true},
        {"1.5", true},       {"2.00", true},    {" 1.52", true},  {"1,52", true},
    };
    for (const auto& c : cases) EXPECT_EQ(mv::VersionDiffers(c.body), c.differs) << c.body;
}

}  // namespace
