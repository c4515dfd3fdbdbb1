#include <gtest/gtest.h>

#include "source_rules.h"

namespace {

using mv::test::ProgramTree;
using mv::test::RuleFaults;

// Every box goes through the Dialogs seam.
TEST(SourceRules, OnlyTheQtDialogsNameQtDialogClasses) {
    const auto tree = ProgramTree();
    ASSERT_GT(tree.files.size(), 10u);
    const auto strays = RuleFaults("dialogs", tree);
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

// Bytes cross to display text in one place.
TEST(SourceRules, OnlyTheDisplayTextHelpersConvertBetweenBytesAndQString) {
    const auto strays = RuleFaults("display_text", ProgramTree());
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

// Files are removed, moved and replaced through the file operations only.
TEST(SourceRules, OnlyTheFileOperationsRemoveOrMoveUsersFiles) {
    const auto tree = ProgramTree();
    auto strays = RuleFaults("removals", tree);
    const auto renames = RuleFaults("renames", tree);
    strays.insert(strays.end(), renames.begin(), renames.end());
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

TEST(SourceRules, EveryConnectHasAContextObject) {
    const auto strays = RuleFaults("contextless_connect", ProgramTree());
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

}  // namespace
