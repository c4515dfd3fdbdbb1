#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "dupes/result_rows.h"

// How result rows reach standard output, so a script can take every field
// back exactly, whatever bytes a file name holds.
namespace mv::cli {

enum class RowFormat {
    // LEFT<TAB>RIGHT<LF>, with TAB, CR, LF and backslash written as \t, \r,
    // \n and \\ inside a field.
    Tsv,
    // LEFT<NUL>RIGHT<NUL>: every field ends with a NUL, nothing is escaped.
    Nul,
};

// The text of one field. List locations and search rows are shown as UTF-8,
// the way the window shows them (a catalogue written on Windows holds
// Windows-1252 bytes); every other field names something on disk and keeps
// its bytes, so it stays usable as a path.
std::string FieldText(std::string_view text, RowKind kind, RowFormat format);

void WriteRow(std::ostream& out, const ResultRow& row, RowFormat format);

}  // namespace mv::cli
