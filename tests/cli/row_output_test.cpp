// Rows of dupes, compare and search with file names and catalogue text that
// hold TAB, CR, LF, backslashes and bytes that are not UTF-8.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "cli_runner.h"
#include "cli_tree.h"
#include "platform/text_lines.h"

namespace mv {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// The plain reading a script would do: \t \r \n \\ and \xHH back to their bytes.
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
            case 'x':
                out += static_cast<char>(std::stoi(field.substr(k + 1, 2), nullptr, 16));
                k += 2;
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
        // ESC, BEL, DEL and a byte that is CSI in Latin-1 (0x9b stays: not C0).
        {"Esc\x1b[31mRed\x07\x7f\x9b.mp3", "Esc 31mRed .mp3"},
        {"Back\\x41.mp3", "Back x41.mp3"},
    };
    Rows expected;
    for (const auto& [odd, plain] : names) {
        expected.emplace_back(File("a/" + odd, 1), File("b/" + plain, 5));
    }
    expected = Sorted(expected);

    const CliRun tsv = RunCli({"dupes", "--percent", "100", Music() + "/"}, "", Home());
    EXPECT_EQ(tsv.exitCode, 0) << tsv.err;
    EXPECT_EQ(Sorted(ParseTsv(tsv.out)), expected);
    for (const char c : tsv.out) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(c == '\t' || c == '\n' || (byte >= 0x20 && byte != 0x7f))
            << "raw control byte " << int{byte} << " in the rows";
    }
    EXPECT_THAT(tsv.out, ::testing::HasSubstr("Esc\\x1B[31mRed\\x07\\x7F\x9b.mp3\t"));
    for (const auto& row : ParseTsv(tsv.out)) {
        EXPECT_TRUE(std::filesystem::is_regular_file(row.first)) << row.first;
    }

    for (const char* flag : {"-z", "--null"}) {
        const CliRun nul = RunCli({"dupes", flag, "--percent", "100", Music() + "/"}, "", Home());
        EXPECT_EQ(nul.exitCode, 0) << nul.err;
        EXPECT_EQ(Sorted(ParseNul(nul.out)), expected) << flag;
    }
}

// JSON and CSV read back in Python's own parsers: JSON gives the very bytes
// of every file name (surrogateescape), CSV the names as the window shows them.
TEST_F(RowOutputTest, JsonAndCsvReadBackInPythonsParsers) {
    if (std::system("python3 -c 'import csv, json' 2>/dev/null") != 0) {
        GTEST_SKIP() << "python3 is not installed";
    }
    const std::vector<std::pair<std::string, std::string>> names{
        {"Tab\tSong.mp3", "Tab Song.mp3"},
        {"Quote \"and\", comma.mp3", "Quote and comma.mp3"},
        {"New\nLine.mp3", "New Line.mp3"},
        {"Caf\xe9 Song.mp3", "Cafe Song.mp3"},
    };
    Rows expected;
    for (const auto& [odd, plain] : names) {
        expected.emplace_back(File("a/" + odd, 1), File("b/" + plain, 5));
    }
    expected = Sorted(expected);
    const auto python = [this](const std::string& out, const std::string& program) {
        std::ofstream(Home() + "/rows.in", std::ios::binary) << out;
        const std::string command =
            "python3 -c '" + program + "' '" + Home() + "/rows.in' '" + Home() + "/rows.out'";
        EXPECT_EQ(std::system(command.c_str()), 0) << program;
        std::ifstream in(Home() + "/rows.out", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };

    const CliRun json =
        RunCli({"dupes", "--format", "json", "--percent", "100", Music() + "/"}, "", Home());
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const std::string back =
        python(json.out,
               "import json, sys\n"
               "rows = json.load(open(sys.argv[1], encoding=\"utf-8\"))\n"
               "out = open(sys.argv[2], \"wb\")\n"
               "for r in rows:\n"
               "    assert (r[\"left kind\"], r[\"right kind\"]) == (\"file\", \"file\"), r\n"
               "    for k in (\"left\", \"right\"): out.write(r[k].encode(\"utf-8\", "
               "\"surrogateescape\") + b\"\\0\")\n");
    EXPECT_EQ(Sorted(ParseNul(back)), expected);

    const CliRun csv =
        RunCli({"dupes", "--format", "csv", "--percent", "100", Music() + "/"}, "", Home());
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const std::string fields = python(
        csv.out,
        "import csv, sys\n"
        "rows = list(csv.reader(open(sys.argv[1], newline=\"\", encoding=\"utf-8\")))\n"
        "assert rows[0] == [\"left\", \"right\", \"left kind\", \"right kind\"], rows[0]\n"
        "out = open(sys.argv[2], \"wb\")\n"
        "for r in rows[1:]: out.write(r[0].encode() + b\"\\0\" + r[1].encode() + b\"\\0\")\n");
    Rows shown;
    for (const auto& [left, right] : expected) {
        std::string l = left;
        const size_t latin = l.find('\xe9');
        if (latin != std::string::npos) l.replace(latin, 1, "\xc3\xa9");
        shown.emplace_back(l, right);
    }
    EXPECT_EQ(Sorted(ParseNul(fields)), shown);

    const CliRun both = RunCli({"dupes", "-z", "--format", "csv", Music()}, "", Home());
    EXPECT_EQ(both.exitCode, 2) << "-z and --format csv together";
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
