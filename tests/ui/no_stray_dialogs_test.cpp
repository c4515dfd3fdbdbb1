#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Every box goes through the Dialogs seam; only the Qt implementation may name
// Qt's dialog classes.
TEST(DialogsSeam, NoSourceFileButTheQtDialogsNamesQtDialogClasses) {
    namespace fs = std::filesystem;
    const fs::path src = fs::path(MV_SOURCE_DIR) / "src";
    const fs::path allowed = src / "ui" / "common" / "qt_dialogs.cpp";
    std::vector<std::string> strays;
    int scanned = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        ++scanned;
        if (entry.path() == allowed) continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        for (const char* name : {"QMessageBox", "QInputDialog", "QFileDialog"}) {
            if (text.str().find(name) != std::string::npos) {
                strays.push_back(entry.path().string() + ": " + name);
            }
        }
    }
    EXPECT_GT(scanned, 10);
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

}  // namespace
