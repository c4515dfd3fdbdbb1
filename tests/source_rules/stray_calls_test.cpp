#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source_files.h"

namespace {

using mv::test::ProgramSources;

std::vector<std::string> FilesNaming(const std::vector<std::string>& names,
                                     const std::string& allowedFile) {
    std::vector<std::string> strays;
    for (const auto& file : ProgramSources()) {
        if (file.relative == allowedFile) continue;
        for (const std::string& name : names) {
            if (file.text.find(name) != std::string::npos) {
                strays.push_back(file.relative + ": " + name);
            }
        }
    }
    return strays;
}

// Every box goes through the Dialogs seam; only the Qt implementation may name
// Qt's dialog classes.
TEST(SourceRules, OnlyTheQtDialogsNameQtDialogClasses) {
    ASSERT_GT(ProgramSources().size(), 10u);
    const auto strays =
        FilesNaming({"QMessageBox", "QInputDialog", "QFileDialog"}, "src/ui/common/qt_dialogs.cpp");
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

// Stored bytes become display text (and typed text becomes bytes) in one
// place, so a name is never shown or stored in another encoding by accident.
TEST(SourceRules, OnlyTheDisplayTextHelpersConvertBetweenBytesAndQString) {
    const auto strays = FilesNaming(
        {"QString::fromStdString", "toStdString()", "QString::fromUtf8", "toUtf8()",
         "QString::fromLatin1", "toLatin1()", "QString::fromLocal8Bit", "toLocal8Bit()"},
        "src/ui/common/display_text.cpp");
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

// Every removal of a file goes through the file operations (the trash switch
// and the deletion log live there), so no command can delete a user's file
// behind the user's settings.
TEST(SourceRules, OnlyTheFileOperationsRemoveOrMoveUsersFiles) {
    const std::vector<std::string> removals = {"unlink(",      "unlinkat(", "remove(",
                                               "remove_all(",  "rmdir(",    "QFile::remove",
                                               "moveToTrash(", "renameat2("};
    std::vector<std::string> strays;
    for (const auto& file : ProgramSources()) {
        if (file.relative == "src/platform/file_ops.cpp" ||
            file.relative == "src/platform/trash.cpp")
            continue;
        for (const std::string& name : removals) {
            if (file.text.find(name) != std::string::npos)
                strays.push_back(file.relative + ": " + name);
        }
    }
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

}  // namespace
