#include "dupes/result_rows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/core/temp_tree.h"

namespace {

using mv::RowKind;

TEST(DeleteFailureMessage, ListsTheFirstFilesThenCountsTheRest) {
    std::vector<mv::DeleteFailure> failures;
    EXPECT_EQ(mv::DeleteFailureMessage(failures), "");
    for (int k = 0; k < 4; ++k) failures.push_back({"/m/" + std::to_string(k), "Busy"});
    EXPECT_EQ(mv::DeleteFailureMessage(failures, 3),
              "4 files could not be deleted:\n\n/m/0 (Busy)\n/m/1 (Busy)\n/m/2 (Busy)\n... and 1 "
              "more.");
}

// A row that names a folder as a file on disk: the folder is passed over,
// never unlinked.
TEST(DeleteLeftFiles, AFolderIsPassedOverAndKept) {
    mv::test::TempTree tree;
    const std::string folder = tree.Folder("dir");
    const mv::DeleteOutcome outcome =
        mv::DeleteLeftFiles({{folder, "", RowKind::FileOnDisk, RowKind::FileOnDisk}}, {0});
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(outcome.passedOver.size(), 1u);
}

}  // namespace
