#include "dupes/result_rows.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "platform/ascii_case.h"
#include "platform/file_ops.h"

namespace mv {

std::vector<ResultRow> RowsFromCompare(int mode, std::vector<CompareRow>&& rows) {
    RowKind leftKind = RowKind::FileOnDisk;
    RowKind rightKind = RowKind::FileOnDisk;
    if (mode == kModeFolderVsList) {
        rightKind = RowKind::ListLocation;
    } else if (mode == kModeSearchList) {
        leftKind = RowKind::SearchRow;
        rightKind = RowKind::ListLocation;
    }
    std::vector<ResultRow> out;
    out.reserve(rows.size());
    for (CompareRow& r : rows) {
        out.push_back({std::move(r.left), std::move(r.right), leftKind, rightKind});
    }
    return out;
}

std::vector<std::size_t> RowsToRemove(const std::vector<ResultRow>& rows,
                                      const std::vector<std::size_t>& selected) {
    // One pass with a set of the selected left texts gives the same rows as
    // removing text by text, without the quadratic walk on long lists.
    std::unordered_set<std::string> texts;
    for (std::size_t i : selected) {
        if (i < rows.size()) texts.insert(FoldAsciiCase(rows[i].left));
    }
    std::vector<std::size_t> out;
    if (texts.empty()) return out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (texts.count(FoldAsciiCase(rows[i].left)) != 0) out.push_back(i);
    }
    return out;
}

DeleteOutcome DeleteLeftFiles(const std::vector<ResultRow>& rows,
                              const std::vector<std::size_t>& indices) {
    DeleteOutcome outcome;
    for (std::size_t i : indices) {
        if (i >= rows.size()) continue;
        const ResultRow& row = rows[i];
        if (row.leftKind != RowKind::FileOnDisk) {
            ++outcome.notFiles;
            continue;
        }
        mv::ClearAttributes(row.left);  // a read-only file can go as well
        if (mv::DeletePermanently(row.left)) {
            outcome.deleted.push_back(row.left);
        } else {
            outcome.passedOver.push_back(row.left);
        }
    }
    return outcome;
}

std::string FolderPart(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace mv
