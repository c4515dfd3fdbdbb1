#pragma once

#include <string>
#include <string_view>

// Writing one field of a row into the text formats the program writes: the
// tab-separated rows of the tool and the deletion log, CSV, JSON.
namespace mv {

// TAB, CR, LF and backslash written as \t, \r, \n and \\, so a row stays one
// line whatever bytes a name holds, and the bytes can be taken back exactly.
std::string EscapeTsvField(std::string_view text);

// An RFC 4180 field: quoted when it holds a comma, a quote, CR or LF (quotes
// doubled), as it is otherwise.
std::string CsvField(std::string_view text);

// A JSON string literal, quotes included. Valid UTF-8 is kept; a byte that
// is not part of valid UTF-8 becomes \udcXX (XX the byte), the way Python's
// "surrogateescape" reads such bytes back, so no file name is lost.
std::string JsonString(std::string_view text);

}  // namespace mv
