// The naming options: Windows-safe names, and names from the ID3v2/APE
// fields with %6 and %7; with both off every model names as before.
#include <gtest/gtest.h>

#include <random>

#include "filetools/naming_model.h"
#include "filetools/safe_name.h"
#include "platform/text_encoding.h"
#include "support/core/tag_fixture.h"

namespace mv {
namespace {

using test::TagBlock;

TEST(WindowsSafeName, MapsWhatWindowsRefuses) {
    const std::pair<const char*, const char*> cases[] = {
        {"Live: Paris", "Live - Paris"},
        {"a\\b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h"},
        {"Who?.", "Who_"},
        {"Title . .", "Title"},
        {"Song .Mp3", "Song .Mp3"},  // only the very end is trimmed
        {"...", ""},                 // left for NameRefusal to refuse
        {"AC/DC", "AC/DC"},          // "/" stays refused by NameRefusal
        {"Caf\xC3\xA9 \xE2\x80\x93 x", "Caf\xC3\xA9 \xE2\x80\x93 x"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(WindowsSafeName(in), out) << in;
}

// Pins today's ID3v1 names for the two new placeholders: like %9 they stand
// for nothing, even when the block holds a track byte and a genre.
TEST(NamingModel, SixAndSevenStandForNothingFromId3v1) {
    std::string block = TagBlock("Title", "Artist", "", "", "", '\0', 17);
    block[126] = 7;  // an ID3v1.1 track number
    const std::pair<const char*, const char*> cases[] = {
        {"%6 - %1", " - Title"},
        {"%7%2", "Artist"},
        {"%6%7", ""},
        {"[%6]%1%7.Mp3", "[]Title.Mp3"},
    };
    for (const auto& [model, name] : cases) EXPECT_EQ(BuildNameFromModel(block, model), name);
}

TEST(NamingModel, NamesFromTheRicherTag) {
    RichTag tag;
    tag.title = "A title longer than thirty bytes, \xE2\x80\x9Cquoted\xE2\x80\x9D";
    tag.artist = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE";  // Cyrillic
    tag.album = "LP";
    tag.year = "1999-05-01";
    tag.track = "3/12";
    tag.genre = "Rock";
    const NameTexts texts = NameTextsOf(tag);
    const std::pair<const char*, std::string> cases[] = {
        {"%6 - %2 - %1", "03 - " + tag.artist + " - " + tag.title},
        {"%7|%4|%3|%5", "Rock|1999-05-01|LP|"},
        {"%8%9%0x%", "x"},
        {"%6  %7", "03 Rock"},
    };
    for (const auto& [model, name] : cases) EXPECT_EQ(BuildNameFromTexts(texts, model), name);
    const std::pair<const char*, const char*> tracks[] = {
        {"7", "07"}, {"12", "12"}, {"123/200", "123"}, {"", ""}, {"A1", ""}, {"04", "04"}};
    for (const auto& [track, shown] : tracks) {
        tag.track = track;
        EXPECT_EQ(NameTextsOf(tag)[5], shown) << track;
    }
}

// The five steps are one: with the ID3v1 fields as texts and %6/%7 empty,
// both builders agree on random models and blocks.
TEST(NamingModel, BothBuildersAgreeOnId3v1Texts) {
    std::mt19937 rng(5);
    const char alphabet[] = {'%', '%', '1', '5', '6', '7', '9', ' ', ' ', 'a', '\xE9', '\0'};
    auto text = [&](size_t max) {
        std::string t;
        for (size_t k = rng() % (max + 1); k > 0; --k) t += alphabet[rng() % std::size(alphabet)];
        return t;
    };
    for (int round = 0; round < 1000; ++round) {
        const std::string block = TagBlock(text(30), text(30), text(30), text(4), text(30), ' ');
        std::string model = text(10);
        NameTexts texts;
        for (int f = 0; f < kTagFieldCount; ++f) {
            texts[f] = Windows1252ToUtf8(block.substr(kTagFields[f].offset, kTagFields[f].width));
        }
        ASSERT_EQ(BuildNameFromTexts(texts, model), BuildNameFromModel(block, model))
            << "round " << round;
    }
}

}  // namespace
}  // namespace mv
