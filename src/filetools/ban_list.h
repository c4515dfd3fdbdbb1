#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dupes/compare_engine.h"
#include "dupes/compare_request.h"
#include "platform/text_lines.h"

// The ban list (BanList.txt): the catalogue's layout with the single CD
// "BANLIST", whose titles are the entries. A file whose name holds every word
// of an entry is unwanted. The scan is a comparison against these lines at
// 100; the Mp3 list is never read, written or created by it.
namespace mv {

inline constexpr const char* kBanListHeader = "\\BANLIST";
inline constexpr const char* kNoBanListMessage = "You do not have any banlist!";

// BanList.txt in the program folder, whatever the letter case of its name on disk.
std::filesystem::path BanListFile(const std::filesystem::path& programFolder);

// Reads the ban list by the catalogue's line rules; only a regular file (or a
// link to one) is read.
ReadLinesResult ReadBanList(const std::filesystem::path& file);

// The message when the ban list cannot be read: kNoBanListMessage, and the
// cause on a second line when something is there that cannot be read.
std::string NoBanListMessage(const ReadLinesResult& read);

// The ban list as a scan takes it: its lines, or none and the message to show
// instead of running, when it cannot be read or holds no line at all (0
// bytes: kNoBanListMessage and, on a second line, the file named). A scan
// never shows the Mp3 list's messages for the ban list.
struct BanListForScan {
    bool usable = false;
    std::vector<std::string> lines;
    std::string message;  // unless usable
};
BanListForScan ReadBanListForScan(const std::filesystem::path& file);

// The lines the editor shows, one per text line joined by LF (no line end
// after the last one, so the caret at the end stands after the last
// character): the file's lines, line 0 left out when it is a CD marker (the
// header). A list written by hand without the header keeps its first entry.
std::vector<std::string> EditorLinesFromFileLines(std::vector<std::string> fileLines);

// The editor's text as file lines: the header, then each line of the text as
// the file reader would split it (CR LF, CR or LF), the last one counting even
// when empty. So saving and opening again shows the same text.
std::vector<std::string> FileLinesFromEditorText(std::string_view editorText);

// Writes the editor's text to `file` through a temporary file renamed into
// place. Empty on success, else the message naming the file and the cause;
// the old file is then left as it was.
std::string SaveBanList(const std::filesystem::path& file, std::string_view editorText);

struct BanScanParams {
    std::filesystem::path banFile;
    std::string folder;   // the folder to scan
    bool recurse = true;  // also every subfolder that holds a matching file
    std::string ext = "Mp3";
    unsigned threads = 0;  // as CompareParams::threads
    // Optional: receives the rows in order, in batches (see CompareParams::onRows).
    std::function<void(std::vector<CompareRow>&&)> onRows;
};

struct BanScanResult {
    // False: the ban list could not be read or is empty, and nothing ran;
    // `message` says so.
    bool banListRead = false;
    std::string message;
    size_t banLines = 0;  // lines of the ban list as read
    // The comparison in mode 1 at 100: rows folder/name against /BANLIST/entry,
    // "Comparison finished" or "Comparison Cancelled".
    CompareResult compare;
};

// Reads the ban list, collects the folders and runs the comparison. The
// caller clears control.stopRequested before, as for RunCompare.
BanScanResult RunBanScan(const BanScanParams& params, CompareControl& control);

}  // namespace mv
