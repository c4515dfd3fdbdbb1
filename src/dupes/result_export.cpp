#include "dupes/result_export.h"

#include "platform/text_encoding.h"
#include "platform/text_fields.h"

namespace mv {

const char* RowKindName(RowKind kind) {
    switch (kind) {
        case RowKind::FileOnDisk:
            return "file";
        case RowKind::ListLocation:
            return "list location";
        case RowKind::SearchRow:
            return "search";
        case RowKind::ScannedTitle:
            return "scanned title";
        case RowKind::ScannedFolder:
            return "scanned folder";
    }
    return "file";
}

std::vector<std::string> ResultsCsvLines(const std::vector<ResultRow>& rows) {
    std::vector<std::string> lines;
    lines.reserve(rows.size() + 1);
    lines.push_back("left,right,left kind,right kind");
    for (const ResultRow& row : rows) {
        lines.push_back(CsvField(DisplayUtf8(row.left)) + "," + CsvField(DisplayUtf8(row.right)) +
                        "," + CsvField(RowKindName(row.leftKind)) + "," +
                        CsvField(RowKindName(row.rightKind)));
    }
    return lines;
}

}  // namespace mv
