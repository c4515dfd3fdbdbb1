#include "cli/row_output.h"

#include "platform/text_encoding.h"
#include "platform/text_fields.h"

namespace mv::cli {

std::string FieldText(std::string_view text, RowKind kind, RowFormat format) {
    const bool catalogueText = kind == RowKind::ListLocation || kind == RowKind::SearchRow;
    std::string field = catalogueText ? DisplayUtf8(text) : std::string(text);
    return format == RowFormat::Tsv ? EscapeTsvField(field) : field;
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
