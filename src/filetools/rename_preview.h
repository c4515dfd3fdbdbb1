#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "filetools/naming_model.h"

// Rename All in two steps: the table of what it would do, shown to the user,
// and then exactly that table performed.
namespace mv {

inline constexpr std::size_t kRenameStatusCount = 7;

// One short word per RenameStatus for the table's kind column: "rename",
// "same", "unreadable", "no-tag", "not-a-name", "taken", "refused".
const char* RenameStatusWord(RenameStatus status);

struct RenamePreview {
    RenameAllParams params;           // as given, dryRun off
    std::vector<RenameOutcome> rows;  // Renamed: would be renamed; else why it keeps its name
    std::vector<std::string> foldersPassedOver;
    std::array<std::size_t, kRenameStatusCount> counts{};  // rows of each RenameStatus
};

// The rows Rename All would give for `params` (a dry run: a name taken by an
// earlier row of the table counts as taken, one freed by it as free).
RenamePreview PreviewRenameAll(const RenameAllParams& params);

// Rows of each status.
std::array<std::size_t, kRenameStatusCount> CountByStatus(const std::vector<RenameOutcome>& rows);
// The counts in words, "2 rename, 1 no-tag" (the kinds with no row left out);
// "no files" when there are none.
std::string CountsText(const std::array<std::size_t, kRenameStatusCount>& counts);

// Performs the preview's renames in its order, each by the no-replace rename:
// a name taken since the preview is reported NameTaken and never replaced, a
// file gone since is Unreadable. Rows that kept their name stay as they are.
// Each rename done goes into the params' journal, when set, as one batch.
RenameAllResult PerformPreview(const RenamePreview& preview);

}  // namespace mv
