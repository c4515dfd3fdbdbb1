// Export, import and rename of CDs: the rows agree with the list's own walk,
// a CD exported and imported again holds the same titles in the same folders,
// and the refusals leave the list as it was.
#include "catalogue/catalogue_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "catalogue/list_location.h"
#include "platform/text_fields.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;

// A list of a few CDs from random files in random nested folders.
TMp3List RandomList(std::mt19937& rng) {
    const std::vector<std::string> parts{"Rock", "a b", "x,y", "q\"t", "Ü", "..x", "\\w"};
    TMp3List list;
    list.EnsureHeader();
    for (int cd = 0; cd < 3; ++cd) {
        std::vector<FoundFile> files;
        for (int f = static_cast<int>(rng() % 12); f > 0; --f) {
            std::string folder = "/r";
            for (unsigned depth = rng() % 4; depth > 0; --depth) folder += "/" + parts[rng() % 7];
            files.push_back({"t" + std::to_string(rng() % 50) + parts[rng() % 7], folder});
        }
        list.AppendCd("CD " + std::to_string(cd), "/r", files);
    }
    return list;
}

TEST(CatalogueTransfer, RowsAgreeWithTheListWalkAndSurviveExportThenImport) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const TMp3List list = RandomList(rng);
        const std::vector<CatalogueRow> rows = CatalogueRows(list);
        std::vector<std::string> walked;
        list.WalkTitles([&](size_t, const std::string& title, const std::string& location) {
            walked.push_back(FullListLocation(location, title));
        });
        ASSERT_EQ(rows.size(), walked.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            const std::string folder = rows[i].folder.empty() ? "" : "/" + rows[i].folder;
            EXPECT_EQ("/" + rows[i].cd + folder + "/" + rows[i].title, walked[i]);
        }

        // Each CD as a CSV of its paths, imported under another name.
        for (const std::string cd : {"CD 0", "CD 1", "CD 2"}) {
            std::vector<std::string> csv{"path"};
            std::vector<std::pair<std::string, std::string>> before, after;
            for (const CatalogueRow& row : rows) {
                if (row.cd != cd) continue;
                csv.push_back(CsvField((row.folder.empty() ? "" : row.folder + "/") + row.title));
                before.emplace_back(row.folder, row.title);
            }
            const CsvCdResult parsed = FoundFilesFromCsv({csv, nullptr});
            ASSERT_EQ(parsed.error, "");
            TMp3List again;
            again.AppendCd("Copy", "/", parsed.files);
            for (const CatalogueRow& row : CatalogueRows(again)) {
                EXPECT_EQ(row.cd, "Copy");
                after.emplace_back(row.folder, row.title);
            }
            // Grouped by folder on the way in: the same rows, perhaps in another order.
            std::sort(before.begin(), before.end());
            std::sort(after.begin(), after.end());
            EXPECT_EQ(after, before);
        }
    }
}

TEST(CatalogueTransfer, ImportRefusesWhatNoCdCanHoldAndNamesTheLine) {
    struct Case {
        Lines csv;
        std::string error;
    };
    const std::vector<Case> cases{
        {{"a.mp3", "b.mp3,c.mp3"}, "Line 2: more than one column"},
        {{"\"open.mp3", "still open"}, "Line 1: a quote is never closed."},
        {{"x/../y.mp3"}, "Line 1: the path has an empty, \".\" or \"..\" part: x/../y.mp3"},
        {{"ok.mp3", "", "dir/"}, "Line 3: the path has an empty"},
        {{"a//b.mp3"}, "Line 1: the path has an empty"},
        {{"./a.mp3"}, "Line 1: the path has an empty"},
    };
    for (const Case& c : cases) {
        const CsvCdResult result = FoundFilesFromCsv({c.csv, nullptr});
        EXPECT_TRUE(result.error.starts_with(c.error)) << result.error;
        EXPECT_TRUE(result.files.empty());
    }
    const CsvCdResult ok = FoundFilesFromCsv(
        {{"\xEF\xBB\xBFPath", "\"d/\"\"q\"\".mp3\"", "/top.mp3,,", "\"two", "lines.mp3\""},
         [](std::string_view name) { return "<" + std::string(name) + ">"; }});
    ASSERT_EQ(ok.error, "");
    EXPECT_EQ(ok.files.size(), 3u);
    // The root's titles come first wherever the CSV has them.
    EXPECT_EQ(ok.files[0].folder, "/");
    EXPECT_EQ(ok.files[0].title, "<top.mp3>");
    EXPECT_EQ(ok.files[1].title, "<two\nlines.mp3>");
    EXPECT_EQ(ok.files[2].folder, "/d");
    EXPECT_EQ(ok.files[2].title, "<\"q\".mp3>");
}

TEST(CatalogueTransfer, RenameRefusesTakenNamesMarkersAndTheHeader) {
    const Lines lines{"\\Mp3 List", "\\Rock", "a.mp3", "\\Jazz", "/Live", "b.mp3", ".."};
    struct Case {
        const char* from;
        const char* to;
        std::string error;  // empty: renamed
        Lines after;
    };
    Lines renamedJazz = lines;
    renamedJazz[3] = "\\JAZZ";
    Lines renamedRock = lines;
    renamedRock[1] = "\\Blues";
    const std::vector<Case> cases{
        {"jazz", "JAZZ", "", renamedJazz},  // the same CD in other case
        {"ROCK", "Blues", "", renamedRock},
        {"Rock", "jazz", "A CD named \"jazz\" is already in the list.", lines},
        {"Rock", "mp3 LIST", "A CD named \"mp3 LIST\" is already in the list.", lines},
        {"Rock", "A/B", "A CD's name cannot hold \\ or /", lines},
        {"Rock", "A\\B", "A CD's name cannot hold \\ or /", lines},
        {"Rock", "two\nlines", "A CD's name cannot hold a line break.", lines},
        {"Rock", "", "A CD needs a name.", lines},
        {"Mp3 List", "Other", "The list's header is not a CD; it keeps its name.", lines},
        {"Pop", "Other", "There is no CD named \"Pop\" in the list.", lines},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        TMp3List list;
        list.SetLines(lines);
        const RenameCdResult result = RenameCd(list, c.from, c.to);
        EXPECT_EQ(result.renamed, c.error.empty());
        EXPECT_TRUE(result.error.starts_with(c.error)) << result.error;
        EXPECT_EQ(list.Lines(), c.after);
    }
}

}  // namespace
}  // namespace mv
