// The Mp3 list reader and both walks over its locations: the list's own
// (TMp3List::WalkTitles) and the comparison's (a list search through
// RunCompare). Input: one control byte (bit 7: go through a file; bits 0-4:
// the length of the search text), the search text, then the list's bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/list_location.h"
#include "catalogue/mp3_list.h"
#include "dupes/compare_engine.h"
#include "fuzz_files.h"
#include "platform/text_lines.h"

namespace {

// The list locations a list search finds, through the comparison's public entry.
std::vector<std::string> Search(const std::string& text, const std::vector<std::string>& lines) {
    mv::CompareParams params;
    params.mode = mv::kModeSearchList;
    params.searchText = text;
    params.percentText = "101";
    params.listLines = lines;
    params.threads = 1;
    mv::CompareControl control;
    const mv::CompareResult result = mv::RunCompare(params, control);
    FUZZ_CHECK(result.rowCount == result.rows.size());
    FUZZ_CHECK(result.cancelled == lines.empty());
    std::vector<std::string> found;
    for (const mv::CompareRow& row : result.rows) {
        FUZZ_CHECK(row.left == "Search\\" + text);
        found.push_back(row.right);
    }
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool throughFile = (data[0] & 0x80) != 0;
    const size_t textLength = std::min<size_t>(data[0] & 0x1f, size - 1);
    const std::string searchText(reinterpret_cast<const char*>(data) + 1, textLength);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1 + textLength,
                                 size - 1 - textLength);

    std::vector<std::string> lines = mv::SplitLines(bytes);
    mv::TMp3List list;
    if (throughFile) {
        const auto path = WriteFuzzFile("Mp3List.txt", bytes);
        FUZZ_CHECK(list.LoadWithStatus(path) == mv::ListLoadStatus::Read);
        FUZZ_CHECK(list.Lines() == lines);
        // What a save writes reads back as the same lines.
        FUZZ_CHECK(list.Save(path).empty());
        FUZZ_CHECK(mv::ReadLines(path) == lines);
    } else {
        list.SetLines(lines);
    }

    // Every title once, in order, each with its full location.
    struct Walked {
        size_t index;
        std::string title;
        std::string full;
    };
    std::vector<Walked> walked;
    list.WalkTitles([&](size_t index, const std::string& title, const std::string& location) {
        FUZZ_CHECK(index < lines.size() && (walked.empty() || index > walked.back().index));
        FUZZ_CHECK(title == lines[index]);
        FUZZ_CHECK(mv::KindOfListLine(title) == mv::ListLineKind::Title);
        walked.push_back({index, title, mv::FullListLocation(location, title)});
    });

    // The comparison walks the lines on its own; both walks must agree: every
    // row names a title at the location the list's walk gives, in list order.
    size_t at = 0;
    for (const std::string& row : Search(searchText, lines)) {
        while (at < walked.size() && walked[at].full != row) ++at;
        FUZZ_CHECK(at < walked.size());
        ++at;
    }
    return 0;
}
