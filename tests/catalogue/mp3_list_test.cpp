#include "catalogue/mp3_list.h"

#include <gtest/gtest.h>

#include "catalogue/name_case.h"
#include "example_list.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;
using testing::kExampleList;

TMp3List ListOf(const Lines& lines) {
    TMp3List list;
    list.SetLines(lines);
    return list;
}

struct Visit {
    size_t index;
    std::string title;
    std::string location;
    bool operator==(const Visit&) const = default;
};

std::vector<Visit> Walk(const Lines& lines) {
    std::vector<Visit> visits;
    ListOf(lines).WalkTitles([&](size_t i, const std::string& title, const std::string& location) {
        visits.push_back({i, title, location});
    });
    return visits;
}

TEST(Mp3List, EnsureHeaderPutsAnExactHeaderFirst) {
    const auto ensured = [](const Lines& lines) {
        TMp3List list = ListOf(lines);
        list.EnsureHeader();
        return list.Lines();
    };
    EXPECT_EQ(ensured({}), Lines{"\\Mp3 List"});
    EXPECT_EQ(ensured({"\\CD", "A.mp3"}), (Lines{"\\Mp3 List", "\\CD", "A.mp3"}));
    EXPECT_EQ(ensured({"\\MP3 LIST", "\\CD"}), (Lines{"\\Mp3 List", "\\MP3 LIST", "\\CD"}));
    EXPECT_EQ(ensured(kExampleList), kExampleList);
}

TEST(Mp3List, FindCdIgnoresLetterCaseAcrossEncodings) {
    const TMp3List list = ListOf(kExampleList);
    EXPECT_EQ(list.FindCd("rock 1999"), 1);
    EXPECT_EQ(list.FindCd("Mp3 List"), 0);
    EXPECT_EQ(list.FindCd("Music"), -1);       // folder entries are no CDs
    EXPECT_EQ(list.FindCd("Rock 1999 "), -1);  // blanks count

    // A Windows-1252 name (café šö) found by its UTF-8 spelling in capitals;
    // accents are not dropped.
    const TMp3List accented = ListOf({"\\Mp3 List", "\\Caf\xE9 \x8A\xF6", "\\disc", "\\DISC"});
    EXPECT_EQ(accented.FindCd("CAF\xC3\x89 \xC5\xA1\xC3\x96"), 1);
    EXPECT_EQ(accented.FindCd("Cafe \x8A\xF6"), -1);
    EXPECT_EQ(accented.FindCd("Disc"), 2);  // the first of two
}

TEST(NameCase, FoldsLatinGreekAndCyrillicOneToOne) {
    EXPECT_TRUE(SameNameIgnoringCase("\xC5\x81\xC5\xB9", "\xC5\x82\xC5\xBA"));  // ŁŹ / łź
    EXPECT_TRUE(SameNameIgnoringCase("\xCE\xA3\xD0\x81", "\xCF\x83\xD1\x91"));  // ΣЁ / σё
    EXPECT_TRUE(SameNameIgnoringCase("\x9F", "\xC3\xBF"));       // Ÿ in Windows-1252, ÿ in UTF-8
    EXPECT_FALSE(SameNameIgnoringCase("\xC3\x97", "\xC3\xB7"));  // × and ÷ are no letters
}

TEST(Mp3List, DeleteCdStopsAtTheNextMarkerOrTheEnd) {
    TMp3List middle = ListOf(kExampleList);
    ASSERT_TRUE(middle.DeleteCd(1));
    EXPECT_EQ(middle.Lines(), (Lines{"\\Mp3 List", "\\Live", "Concert Intro.mp3", "/Encore",
                                     "Concert Finale.mp3", ".."}));

    TMp3List last = ListOf(kExampleList);
    ASSERT_TRUE(last.DeleteCd(11));
    EXPECT_EQ(last.Lines(), Lines(kExampleList.begin(), kExampleList.begin() + 11));

    TMp3List untouched = ListOf(kExampleList);
    EXPECT_FALSE(untouched.DeleteCd(2));   // a folder entry
    EXPECT_FALSE(untouched.DeleteCd(99));  // past the end
    EXPECT_EQ(untouched.Lines(), kExampleList);
}

TEST(Mp3List, WalkTitlesKeepsTheLocation) {
    EXPECT_EQ(Walk(kExampleList),
              (std::vector<Visit>{{4, "Singer Tune.mp3", "/Rock 1999/Music/Pop"},
                                  {7, "Band One Song A.mp3", "/Rock 1999/Music/Rock"},
                                  {8, "Band One Song B.mp3", "/Rock 1999/Music/Rock"},
                                  {12, "Concert Intro.mp3", "/Live"},
                                  {14, "Concert Finale.mp3", "/Live/Encore"}}));

    // Empty lines are passed over, ".. " is a title, "/" enters a nameless folder.
    EXPECT_EQ(
        Walk({"\\Mp3 List", "\\CD", "A.mp3", "", "B.mp3", ".. ", "/", "C.mp3", "..", "D.mp3"}),
        (std::vector<Visit>{{2, "A.mp3", "/CD"},
                            {4, "B.mp3", "/CD"},
                            {5, ".. ", "/CD"},
                            {7, "C.mp3", "/CD/"},
                            {9, "D.mp3", "/CD"}}));

    // Without a header, titles before the first marker have no location; an up
    // entry at a CD's root empties the location and a later folder starts afresh.
    EXPECT_EQ(Walk({"Early.mp3", "\\CD", "..", "..", "/Loose", "Late.mp3"}),
              (std::vector<Visit>{{0, "Early.mp3", ""}, {5, "Late.mp3", "/Loose"}}));
}

TEST(Mp3List, EditedLinesNeverBreakTheFile) {
    TMp3List list = ListOf({"\\Mp3 List", "\\CD", "A.mp3"});
    const char withNul[] = "Two\r\nlines\0.mp3";
    list.SetLine(2, std::string_view(withNul, sizeof withNul - 1));
    list.InsertLine(2, "\\New\nCD");
    list.RemoveLine(1);
    list.RemoveLine(7);  // past the end: ignored
    EXPECT_EQ(list.Lines(), (Lines{"\\Mp3 List", "\\New CD", std::string("Two  lines\0.mp3", 15)}));
    EXPECT_EQ(list.FindCd("New\nCD"), 1);  // looked for as it would be stored
}

}  // namespace
}  // namespace mv
