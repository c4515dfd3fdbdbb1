// The editor's export, import and rename: the export reads back to the rows
// it came from, an import or rename writes the list only when it is allowed,
// and a rename acts on the CD meant even when another differs only in case.
#include "catalogue/editor_transfer.h"

#include <gtest/gtest.h>

#include "catalogue/catalogue_transfer.h"
#include "catalogue/mp3_list.h"
#include "platform/text_lines.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;

// Fields of RFC 4180 records, each record on one line (the export's titles hold no line break).
std::vector<Lines> CsvFields(const Lines& lines) {
    std::vector<Lines> records;
    for (const std::string& line : lines) {
        Lines fields{""};
        bool quoted = false;
        for (size_t i = 0; i < line.size(); ++i) {
            if (quoted && line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (line[i] == '"') {
                quoted = !quoted;
            } else if (line[i] == ',' && !quoted) {
                fields.emplace_back();
            } else {
                fields.back() += line[i];
            }
        }
        records.push_back(fields);
    }
    return records;
}

TEST(EditorTransfer, ExportWritesEveryTitleWithItsCdAndFolderInBothFormats) {
    TMp3List list;
    // "\xE9" is a Windows-1252 e acute, as a list written on Windows holds it.
    list.SetLines({"\\Mp3 List", "\\Rock, 1999", "/Best \"Of\"", "/Deep", "Caf\xE9.mp3", "..", "..",
                   "Top.mp3", "\\Live"});
    const Lines csv = CatalogueExportLines(list, CatalogueFormat::Csv);
    EXPECT_EQ(CsvFields(csv), (std::vector<Lines>{{"cd", "folder", "title"},
                                                  {"Rock, 1999", "Best \"Of\"/Deep", "Café.mp3"},
                                                  {"Rock, 1999", "", "Top.mp3"}}));
    EXPECT_EQ(
        CatalogueExportLines(list, CatalogueFormat::Json),
        (Lines{"[", R"(  {"cd": "Rock, 1999", "folder": "Best \"Of\"/Deep", "title": "Café.mp3"},)",
               R"(  {"cd": "Rock, 1999", "folder": "", "title": "Top.mp3"})", "]"}));
    TMp3List empty;
    EXPECT_EQ(CatalogueExportLines(empty, CatalogueFormat::Json), Lines{"[]"});
    EXPECT_EQ(CatalogueExportLines(empty, CatalogueFormat::Csv), Lines{"cd,folder,title"});

    for (const auto& [name, format] :
         std::vector<std::pair<const char*, CatalogueFormat>>{{"a.json", CatalogueFormat::Json},
                                                              {"a.JSON", CatalogueFormat::Json},
                                                              {"a.csv", CatalogueFormat::Csv},
                                                              {"a.json.txt", CatalogueFormat::Csv},
                                                              {"json", CatalogueFormat::Csv}}) {
        EXPECT_EQ(CatalogueFormatOf(name), format) << name;
    }
}

TEST(EditorTransfer, RenameActsOnTheCdMeantAndWritesOnlyWhenAllowed) {
    mv::test::TempTree tree;
    const std::string file = tree.File("Mp3List.txt", "untouched");
    const Lines lines{"\\Mp3 List", "\\Rock", "a.mp3", "\\ROCK", "b.mp3", "\\Jazz"};

    // The second of two CDs that differ in case: the name alone would find the first.
    EditorSaveResult renamed = RenameCdAndSave(file, lines, 3, "Rock 2");
    ASSERT_TRUE(renamed.saved) << renamed.messages.front();
    Lines expected = lines;
    expected[3] = "\\Rock 2";
    EXPECT_EQ(renamed.lines, expected);
    EXPECT_EQ(ReadLines(file), expected);

    tree.File("Mp3List.txt", "untouched");
    for (const auto& [marker, name] : std::vector<std::pair<size_t, const char*>>{
             {5, "rock"}, {5, "a/b"}, {0, "Top"}, {2, "Other"}, {9, "Other"}}) {
        const EditorSaveResult refused = RenameCdAndSave(file, lines, marker, name);
        EXPECT_FALSE(refused.saved) << name;
        EXPECT_EQ(refused.messages.size(), 1u) << name;
        EXPECT_EQ(ReadLines(file), Lines{"untouched"}) << name;
    }
}

TEST(EditorTransfer, ImportAppendsTheCdOrRefusesWithTheListUntouched) {
    mv::test::TempTree tree;
    const std::string file = tree.File("Mp3List.txt", "untouched");
    const std::string csv = tree.File("cd.csv", "path\r\nDisc 1/a.mp3\r\ntop.mp3\r\n");
    ImportCdParams params{
        file, {"\\Mp3 List", "\\Rock", "x.mp3"}, "New", csv, [](std::string_view n) {
            return "<" + std::string(n) + ">";
        }};
    const EditorSaveResult saved = ImportCsvCd(params);
    ASSERT_TRUE(saved.saved);
    EXPECT_EQ(ReadLines(file), saved.lines);
    EXPECT_EQ(Lines(saved.lines.begin(), saved.lines.begin() + 4),
              (Lines{"\\Mp3 List", "\\Rock", "x.mp3", "\\New"}));
    std::vector<std::pair<std::string, std::string>> rows;
    TMp3List back;
    back.SetLines(saved.lines);
    for (const CatalogueRow& row : CatalogueRows(back)) {
        if (row.cd == "New") rows.emplace_back(row.folder, row.title);
    }
    EXPECT_EQ(rows, (std::vector<std::pair<std::string, std::string>>{{"Disc 1", "<a.mp3>"},
                                                                      {"", "<top.mp3>"}}));

    tree.File("Mp3List.txt", "untouched");
    tree.File("bad.csv", "a.mp3,b.mp3\r\n");
    tree.File("none.csv", "path\r\n");
    struct Case {
        std::string name, csvFile, message;
    };
    for (const Case& c : std::vector<Case>{{"rock", csv, "A CD named \"rock\" is already"},
                                           {"mp3 list", csv, "A CD named"},
                                           {"A\\B", csv, "A CD's name cannot hold"},
                                           {"", csv, "A CD needs a name."},
                                           {"Bad", tree.Path("bad.csv"), tree.Path("bad.csv")},
                                           {"None", tree.Path("none.csv"), "No paths in"},
                                           {"Gone", tree.Path("gone.csv"), ""}}) {
        params.name = c.name;
        params.csvFile = c.csvFile;
        const EditorSaveResult refused = ImportCsvCd(params);
        EXPECT_FALSE(refused.saved) << c.name;
        ASSERT_FALSE(refused.messages.empty()) << c.name;
        EXPECT_TRUE(refused.messages.back().starts_with(c.message)) << refused.messages.back();
        EXPECT_EQ(ReadLines(file), Lines{"untouched"}) << c.name;
    }
}

}  // namespace
}  // namespace mv
