#include "dupes/result_rows.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/file_ops.h"

namespace mv {

std::vector<ResultRow> RowsFromCompare(CompareMode mode, std::vector<CompareRow>&& rows) {
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
    std::unordered_set<std::string_view> texts;
    for (std::size_t i : selected) {
        if (i < rows.size()) texts.insert(rows[i].left);
    }
    std::vector<std::size_t> out;
    if (texts.empty()) return out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (texts.count(rows[i].left) != 0) out.push_back(i);
    }
    return out;
}

DeleteOutcome DeleteLeftFiles(const std::vector<ResultRow>& rows,
                              const std::vector<std::size_t>& indices,
                              const RemovalPolicy& policy) {
    DeleteOutcome outcome;
    // The verdict per file, so a file in several rows is tried (and reported) once.
    std::unordered_map<std::string_view, bool> gone;
    for (std::size_t i : indices) {
        if (i >= rows.size()) continue;
        const ResultRow& row = rows[i];
        if (row.leftKind != RowKind::FileOnDisk) {
            ++outcome.notFiles;
            outcome.rowsDone.push_back(i);
            continue;
        }
        auto known = gone.find(row.left);
        if (known == gone.end()) {
            if (!policy.toTrash) ClearAttributes(row.left);  // a read-only file can go as well
            const RemovalResult removal = RemoveUserFile(row.left, policy);
            bool ok = removal.ok;
            const std::string& why = removal.why;
            if (outcome.logError.empty()) outcome.logError = removal.logError;
            if (!ok) {
                // Gone before (deleted by hand, or by an earlier row): nothing is left to delete.
                std::error_code ec;
                ok = std::filesystem::symlink_status(row.left, ec).type() ==
                     std::filesystem::file_type::not_found;
            }
            if (ok) {
                outcome.deleted.push_back(row.left);
            } else {
                outcome.passedOver.push_back({row.left, why});
            }
            known = gone.emplace(row.left, ok).first;
        }
        if (known->second) outcome.rowsDone.push_back(i);
    }
    return outcome;
}

std::string DeleteFailureMessage(const std::vector<DeleteFailure>& failures,
                                 std::size_t maxListed) {
    if (failures.empty()) return {};
    std::string text = failures.size() == 1
                           ? "This file could not be deleted:\n"
                           : std::to_string(failures.size()) + " files could not be deleted:\n";
    for (std::size_t k = 0; k < failures.size() && k < maxListed; ++k) {
        text += "\n" + failures[k].path + " (" + failures[k].why + ")";
    }
    if (failures.size() > maxListed) {
        text += "\n... and " + std::to_string(failures.size() - maxListed) + " more.";
    }
    return text;
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
