#include "dupes/list_place_text.h"

#include <gtest/gtest.h>

#include "catalogue/list_location.h"

namespace mv {
namespace {

// The locations as the comparison builds them, from the list's own lines.
TEST(ListPlaceText, SaysTheCdAndTheFolderOfEveryTitle) {
    const std::vector<std::string> lines{
        "\\Mp3 List",          "Loose.mp3", "\\Rock 1999", "/Best Of", "A.mp3",
        "/Live, '99",          "B.mp3",     "..",          "..",       "Root.mp3",
        "\\It's \"odd\" \xE9", "/x",        "C.mp3"};
    std::vector<std::string> texts;
    std::string location;
    for (const std::string& line : lines) {
        if (line.ends_with(".mp3"))
            texts.push_back(ListPlaceText(FullListLocation(location, line)));
        AdvanceListLocation(location, line);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "On CD 'Mp3 List', top folder",
                         "On CD 'Rock 1999', folder Best Of",
                         "On CD 'Rock 1999', folder Best Of/Live, '99",
                         "On CD 'Rock 1999', top folder",
                         "On CD 'It's \"odd\" \xE9', folder x",
                     }));
    // A title above every CD marker, and texts that are no location.
    EXPECT_EQ(ListPlaceText(FullListLocation("", "T.mp3")), "In the list, above every CD");
    EXPECT_EQ(ListPlaceText("Search\\abc"), "");
    EXPECT_EQ(ListPlaceText(""), "");
}

}  // namespace
}  // namespace mv
