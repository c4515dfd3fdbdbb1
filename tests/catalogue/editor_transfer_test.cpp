// The editor's export and rename: the export holds every title with its CD and
// folder in either format, and a rename acts on the CD meant even when another
// differs only in letter case.
#include "catalogue/editor_transfer.h"

#include <gtest/gtest.h>

#include "catalogue/catalogue_transfer.h"
#include "catalogue/mp3_list.h"
#include "platform/text_lines.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;

TEST(EditorTransfer, ExportWritesEveryTitleWithItsCdAndFolderInBothFormats) {
    TMp3List list;
    // "\xE9" is a Windows-1252 e acute, as a list written on Windows holds it.
    list.SetLines({"\\Mp3 List", "\\Rock, 1999", "/Best \"Of\"", "/Deep", "Caf\xE9.mp3", "..", "..",
                   "Top.mp3", "\\Live"});
    EXPECT_EQ(CatalogueExportLines(list, CatalogueFormat::Csv),
              (Lines{"cd,folder,title", R"("Rock, 1999","Best ""Of""/Deep",Café.mp3)",
                     R"("Rock, 1999",,Top.mp3)"}));
    EXPECT_EQ(
        CatalogueExportLines(list, CatalogueFormat::Json),
        (Lines{"[", R"(  {"cd": "Rock, 1999", "folder": "Best \"Of\"/Deep", "title": "Café.mp3"},)",
               R"(  {"cd": "Rock, 1999", "folder": "", "title": "Top.mp3"})", "]"}));
    EXPECT_EQ(CatalogueExportLines(TMp3List(), CatalogueFormat::Json), Lines{"[]"});
    EXPECT_EQ(CatalogueFormatOf("a.JSON"), CatalogueFormat::Json);
    EXPECT_EQ(CatalogueFormatOf("a.json.txt"), CatalogueFormat::Csv);
    EXPECT_EQ(CatalogueFormatOf("json"), CatalogueFormat::Csv);
}

TEST(EditorTransfer, RenameActsOnTheCdMeantAndWritesOnlyWhenAllowed) {
    mv::test::TempTree tree;
    const std::string file = tree.File("Mp3List.txt", "untouched");
    const Lines lines{"\\Mp3 List", "\\Rock", "a.mp3", "\\ROCK", "b.mp3", "\\Jazz"};
    for (const auto& [marker, name] : std::vector<std::pair<size_t, const char*>>{
             {5, "rock"}, {5, "a/b"}, {0, "Top"}, {2, "Other"}, {9, "Other"}}) {
        EXPECT_FALSE(RenameCdAndSave(file, lines, marker, name).saved) << name;
        EXPECT_EQ(ReadLines(file), Lines{"untouched"}) << name;
    }
    // The second of two CDs that differ in case: its name alone finds the first.
    const EditorSaveResult renamed = RenameCdAndSave(file, lines, 3, "Rock 2");
    Lines expected = lines;
    expected[3] = "\\Rock 2";
    EXPECT_EQ(renamed.lines, expected);
    EXPECT_EQ(ReadLines(file), expected);
}

}  // namespace
}  // namespace mv
