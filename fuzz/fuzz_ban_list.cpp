// The ban list reader, the editor's mapping of its lines and the scan. Input:
// the bytes of BanList.txt; the same bytes are also taken as text typed into
// the editor and saved.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/list_location.h"
#include "catalogue/mp3_list.h"
#include "filetools/ban_list.h"
#include "fuzz_files.h"
#include "platform/text_lines.h"

namespace {

// The files the scan looks at: names with words that short entries share.
const std::vector<std::string>& ScanFiles() {
    static const std::vector<std::string> files = [] {
        const std::vector<std::string> names = {"Song (Remix).mp3", "Live.mp3",
                                                "Hit Karaoke Version.mp3", "a.mp3", "x y.mp3"};
        const auto folder = FuzzFolder() / "scan";
        std::filesystem::create_directory(folder);
        std::vector<std::string> paths;
        for (const std::string& name : names) {
            const auto path = WriteFuzzFile(("scan/" + name).c_str(), "x");
            paths.push_back(path.string());
        }
        return paths;
    }();
    return files;
}

std::string JoinLf(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t k = 0; k < lines.size(); ++k) text += (k ? "\n" : "") + lines[k];
    return text;
}

// Typed text saved and opened again gives the file's lines, and a second save
// of what the editor then shows writes the same bytes. `exact`: the text is
// one the editor showed, so it comes back unchanged.
void CheckEditorRoundTrip(const std::string& file, const std::string& text, bool exact) {
    FUZZ_CHECK(mv::SaveBanList(file, text).empty());
    const mv::ReadLinesResult saved = mv::ReadBanList(file);
    FUZZ_CHECK(saved.status == mv::ReadStatus::Read);
    FUZZ_CHECK(saved.lines == mv::FileLinesFromEditorText(text));
    FUZZ_CHECK(!saved.lines.empty() && saved.lines[0] == mv::kBanListHeader);
    const std::string reopened = JoinLf(mv::EditorLinesFromFileLines(saved.lines));
    if (exact) FUZZ_CHECK(reopened == text);
    const auto once = mv::ReadLines(file);
    FUZZ_CHECK(mv::SaveBanList(file, reopened).empty());
    FUZZ_CHECK(mv::ReadLines(file) == once);
}

// Every row is one scanned file against the full location of one title of
// the list, as the list's own walk gives it.
void CheckScan(const std::string& file, const std::vector<std::string>& lines) {
    mv::TMp3List list;
    list.SetLines(lines);
    // Two CDs of one name give equal locations: the set holds each once, the
    // count every title.
    std::set<std::string> locations;
    std::size_t titles = 0;
    list.WalkTitles([&](std::size_t, const std::string& title, const std::string& location) {
        locations.insert(mv::FullListLocation(location, title));
        ++titles;
    });
    const std::set<std::string> files(ScanFiles().begin(), ScanFiles().end());

    mv::BanScanParams params;
    params.banFile = file;
    params.folder = (FuzzFolder() / "scan").string();
    params.recurse = false;
    params.threads = 1;
    mv::CompareControl control;
    const mv::BanScanResult scan = mv::RunBanScan(params, control);
    FUZZ_CHECK(scan.banListRead == !lines.empty());
    if (!scan.banListRead) {
        FUZZ_CHECK(scan.message.rfind(mv::kNoBanListMessage, 0) == 0);
        return;
    }
    FUZZ_CHECK(scan.banLines == lines.size());
    FUZZ_CHECK(!scan.compare.messages.empty() &&
               scan.compare.messages.back() == "Comparison finished");
    FUZZ_CHECK(scan.compare.rowCount == scan.compare.rows.size());
    FUZZ_CHECK(scan.compare.rows.size() <= files.size() * titles);
    for (const mv::CompareRow& row : scan.compare.rows) {
        FUZZ_CHECK(files.count(row.left) == 1);
        FUZZ_CHECK(locations.count(row.right) == 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ScanFiles();

    // The file as it is: read as the catalogue's lines, every byte kept, a
    // NUL included; the scan takes it exactly when it has a line.
    const std::string file = WriteFuzzFile("BanList.txt", bytes).string();
    const mv::ReadLinesResult read = mv::ReadBanList(file);
    FUZZ_CHECK(read.status == mv::ReadStatus::Read);
    FUZZ_CHECK(read.lines == mv::SplitLines(bytes));
    const mv::BanListForScan forScan = mv::ReadBanListForScan(file);
    FUZZ_CHECK(forScan.usable == !read.lines.empty());
    FUZZ_CHECK(forScan.usable ? forScan.lines == read.lines
                              : forScan.message.rfind(mv::kNoBanListMessage, 0) == 0);
    CheckScan(file, read.lines);

    // The editor drops only a leading CD marker, never an entry.
    const std::vector<std::string> editor = mv::EditorLinesFromFileLines(read.lines);
    const bool header = !read.lines.empty() && !read.lines[0].empty() && read.lines[0][0] == '\\';
    FUZZ_CHECK(editor.size() + (header ? 1 : 0) == read.lines.size());
    CheckEditorRoundTrip(file, JoinLf(editor), true);

    // The bytes as typed text (a paste may bring any line end).
    CheckEditorRoundTrip(file, std::string(bytes), false);
    return 0;
}
