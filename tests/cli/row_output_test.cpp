// Rows of dupes, compare and search with file names and catalogue text that
// hold TAB, CR, LF, backslashes and bytes that are not UTF-8.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli_runner.h"
#include "cli_tree.h"
#include "platform/text_lines.h"

namespace mv {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// The plain reading a script would do: \t \r \n \\ back to their bytes.
std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t k = 0; k < field.size(); ++k) {
        if (field[k] != '\\') {
            out += field[k];
            continue;
        }
        const char next = k + 1 < field.size() ? field[++k] : '?';
        switch (next) {
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                ADD_FAILURE() << "stray backslash in " << field;
        }
    }
    return out;
}

// LEFT<TAB>RIGHT lines: exactly one raw TAB per line, fields unescaped.
Rows ParseTsv(const std::string& out) {
    Rows rows;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\n', start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last row without its line end";
            break;
        }
        const std::string line = out.substr(start, end - start);
        start = end + 1;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || line.find('\t', tab + 1) != std::string::npos ||
            line.find('\r') != std::string::npos) {
            ADD_FAILURE() << "not one LEFT<TAB>RIGHT row: " << line;
            continue;
        }
        rows.emplace_back(Unescape(line.substr(0, tab)), Unescape(line.substr(tab + 1)));
    }
    return rows;
}

// LEFT<NUL>RIGHT<NUL> pairs.
Rows ParseNul(const std::string& out) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\0', start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last field without its NUL";
            break;
        }
        fields.push_back(out.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(fields.size() % 2, 0u);
    Rows rows;
    for (size_t k = 0; k + 1 < fields.size(); k += 2) rows.emplace_back(fields[k], fields[k + 1]);
    return rows;
}

Rows Sorted(Rows rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

class RowOutputTest : public CliTree {};

TEST_F(RowOutputTest, FileNamesComeBackExactlyInBothFormats) {
    // Each odd name (the smaller file, so it goes left) has a plain twin.
    const std::vector<std::pair<std::string, std::string>> names{
        {"Tab\tSong.mp3", "Tab Song.mp3"},
        {"New\nLine.mp3", "New Line.mp3"},
        {"Carriage\rReturn.mp3", "Carriage Return.mp3"},
        {"Back\\Slash.mp3", "Back Slash.mp3"},
        {"Back\\tick.mp3", "Back tick.mp3"},
        {"Caf\xe9 Song.mp3", "Cafe Song.mp3"},
        {"\\Both\t\\Ends.mp3", "Both Ends.mp3"},
    };
    Rows expected;
    for (const auto& [odd, plain] : names) {
        expected.emplace_back(File("a/" + odd, 1), File("b/" + plain, 5));
    }
    expected = Sorted(expected);

    const CliRun tsv = RunCli({"dupes", "--percent", "100", Music() + "/"}, "", Home());
    EXPECT_EQ(tsv.exitCode, 0) << tsv.err;
    EXPECT_EQ(Sorted(ParseTsv(tsv.out)), expected);
    for (const auto& row : ParseTsv(tsv.out)) {
        EXPECT_TRUE(std::filesystem::is_regular_file(row.first)) << row.first;
    }

    for (const char* flag : {"-z", "--null"}) {
        const CliRun nul = RunCli({"dupes", flag, "--percent", "100", Music() + "/"}, "", Home());
        EXPECT_EQ(nul.exitCode, 0) << nul.err;
        EXPECT_EQ(Sorted(ParseNul(nul.out)), expected) << flag;
    }
}

TEST_F(RowOutputTest, CatalogueTextIsShownAsUtf8AndPathsKeepTheirBytes) {
    // A catalogue written on Windows: Windows-1252 bytes.
    ASSERT_EQ(WriteLinesAtomically(root_ / "home" / "Mp3List.txt",
                                   {"\\Mp3 List", "\\Disc \xe9t\xe9", "/Caf\xe9",
                                    "Caf\xe9 Song.mp3", "AC\\DC Live.mp3"}),
              "");
    const std::string cafe = File("Caf\xe9 Song.mp3");
    const std::string acdc = File("AC DC Live.mp3");
    const std::string place = "/Disc \xc3\xa9t\xc3\xa9/Caf\xc3\xa9/";

    const CliRun tsv = RunCli({"compare", Music() + "/"}, "", Home());
    EXPECT_EQ(tsv.exitCode, 0) << tsv.err;
    EXPECT_EQ(Sorted(ParseTsv(tsv.out)),
              Sorted({{cafe, place + "Caf\xc3\xa9 Song.mp3"}, {acdc, place + "AC\\DC Live.mp3"}}));
    // The one field with a backslash is the one that doubles it.
    EXPECT_THAT(tsv.out, ::testing::HasSubstr("AC\\\\DC Live.mp3\n"));

    const CliRun nul = RunCli({"compare", "-z", Music() + "/"}, "", Home());
    EXPECT_EQ(Sorted(ParseNul(nul.out)), Sorted(ParseTsv(tsv.out)));

    const CliRun search = RunCli({"search", "song caf\xe9"}, "", Home());
    EXPECT_EQ(search.exitCode, 0) << search.err;
    EXPECT_EQ(search.out, "Search\\\\song caf\xc3\xa9\t" + place + "Caf\xc3\xa9 Song.mp3\n");
    EXPECT_EQ(
        RunCli({"search", "-z", "song caf\xe9"}, "", Home()).out,
        "Search\\song caf\xc3\xa9" + std::string(1, '\0') + place + "Caf\xc3\xa9 Song.mp3" + '\0');
}

}  // namespace
}  // namespace mv
