#pragma once

#include <string>
#include <string_view>

// The lines of the Mp3 list and of the ban list: what a line is, by its first
// characters.
namespace mv {

// Line 0 of every list the program writes.
inline constexpr std::string_view kListHeader = "\\Mp3 List";

enum class ListLineKind {
    CdMarker,     // starts with '\': the rest is a CD's name
    FolderEntry,  // starts with '/': enters the folder named by the rest
    UpEntry,      // exactly "..": back to the parent folder
    Title,        // any other line that is not empty
    Empty,        // no kind: every reader passes over it
};

ListLineKind KindOfListLine(std::string_view line);

// Every line that is not a title: no comparison or search ever tests it.
inline bool IsListControlLine(std::string_view line) {
    return KindOfListLine(line) != ListLineKind::Title;
}

// A line break inside a stored text would split the file when it is read back,
// so every text that becomes a line has its CRs and LFs turned into blanks. A
// NUL stays: every reader takes it as a byte of the line. Returns the text
// unchanged when it holds no line break.
std::string ToSingleLine(std::string_view text);

}  // namespace mv
