#include "cli/row_output.h"

#include "platform/text_encoding.h"

namespace mv::cli {
namespace {

std::string EscapeTsv(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

std::string FieldText(std::string_view text, RowKind kind, RowFormat format) {
    const bool catalogueText = kind == RowKind::ListLocation || kind == RowKind::SearchRow;
    std::string field = catalogueText ? DisplayUtf8(text) : std::string(text);
    return format == RowFormat::Tsv ? EscapeTsv(field) : field;
}

void WriteRow(std::ostream& out, const ResultRow& row, RowFormat format) {
    const std::string left = FieldText(row.left, row.leftKind, format);
    const std::string right = FieldText(row.right, row.rightKind, format);
    if (format == RowFormat::Tsv) {
        out << left << '\t' << right << '\n';
    } else {
        out << left << '\0' << right << '\0';
    }
}

}  // namespace mv::cli
