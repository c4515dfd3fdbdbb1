#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/terminal_text.h"
#include "dupes/result_rows.h"

// How result rows reach standard output, so a script can take every field
// back exactly, whatever bytes a file name holds.
namespace mv::cli {

enum class RowFormat {
    // LEFT<TAB>RIGHT<LF>, with TAB, CR, LF and backslash written as \t, \r,
    // \n and \\ inside a field, and every other C0 control byte and DEL as
    // \xHH (two upper-case hex digits), so a name cannot drive the terminal.
    // Bytes from 0x80 up stay as they are: the field must name the file.
    Tsv,
    // LEFT<NUL>RIGHT<NUL>: every field ends with a NUL, nothing is escaped.
    Nul,
    // RFC 4180 with a header line, CR LF line ends, every text as UTF-8 (as
    // the window shows it): for spreadsheets.
    Csv,
    // One JSON array of objects, one per row, keyed by the column names. A
    // byte that is not valid UTF-8 is written as \udcXX, the way Python's
    // "surrogateescape" takes it back, so a file name keeps its bytes.
    Json,
};

// The -z and --format options of a command that prints rows; Resolve() after
// parsing gives the format chosen.
struct FormatOptions {
    bool nulSeparated = false;
    std::string format = "tsv";
    RowFormat Resolve() const;
};
void AddFormatOptions(CLI::App* sub, FormatOptions& opts);

// A JSON value for rows whose fields are not all text: numbers, booleans,
// null and objects nested in the row's object.
struct JsonValue {
    enum class Type { Text, Literal, Object };
    Type type = Type::Literal;
    std::string text;  // Text: the bytes; Literal: the JSON as written ("12", "true", "null")
    std::vector<std::pair<std::string, JsonValue>> members;  // Object, in order

    static JsonValue Text(std::string text);
    static JsonValue Number(long long number);
    static JsonValue Bool(bool value);
    static JsonValue Null();
    static JsonValue Object(std::vector<std::pair<std::string, JsonValue>> members);
};

// `value` as JSON on one line, objects as {"key": value, ...}.
std::string JsonText(const JsonValue& value);

// Writes rows in one format. Every row has a field per column; TSV and NUL
// write only the first `plainColumns` of them (what they have always
// written), CSV and JSON all of them. The JSON array closes in Finish() or,
// at the latest, in the destructor.
class RowWriter {
  public:
    RowWriter(std::ostream& out, RowFormat format, std::vector<std::string> columns,
              size_t plainColumns);
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // `fields` as shown: TSV escapes them, CSV shows them as UTF-8.
    void Write(const std::vector<std::string>& fields);
    // A result row pair: LEFT, RIGHT (and their kinds for CSV and JSON).
    void Write(const ResultRow& row);
    // A row whose JSON object is typed: TSV, NUL and CSV write `fields` as
    // above, JSON writes `object` (an Object; its keys need not be the columns).
    void Write(const std::vector<std::string>& fields, const JsonValue& object);
    void Finish();

  private:
    void StartJsonRow();

    std::ostream& out_;
    RowFormat format_;
    std::vector<std::string> columns_;
    size_t plainColumns_;
    bool started_ = false;
    bool finished_ = false;
};

// The columns of result row pairs.
std::vector<std::string> ResultRowColumns();

// The text of one field. List locations and search rows are shown as UTF-8,
// the way the window shows them (a catalogue written on Windows holds
// Windows-1252 bytes); every other field names something on disk and keeps
// its bytes, so it stays usable as a path.
std::string FieldText(std::string_view text, RowKind kind);

}  // namespace mv::cli
