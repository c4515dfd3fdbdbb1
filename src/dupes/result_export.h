#pragma once

#include <string>
#include <vector>

#include "dupes/result_rows.h"

// The result rows as text for other programs: a spreadsheet's CSV, and the
// names of the row kinds that every export shares.
namespace mv {

// "file", "list location", "search", "scanned title", "scanned folder".
const char* RowKindName(RowKind kind);

// One line per row pair after the header "left,right,left kind,right kind",
// as RFC 4180 fields in UTF-8 (each text shown as the window shows it, so a
// Windows-1252 name reads correctly in the spreadsheet). Lines carry no line
// end: the writer ends each with CR LF.
std::vector<std::string> ResultsCsvLines(const std::vector<ResultRow>& rows);

}  // namespace mv
