#include "platform/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/core/temp_tree.h"

namespace mv {
namespace {

TEST(ProgramFolder, OverrideThenWritableExecutableFolderThenDataHome) {
    const test::TempTree tree;
    const std::filesystem::path base = tree.Root();
    std::filesystem::create_directories(base / "exe");
    const std::string over = (base / "over").string();
    const std::string xdg = (base / "xdg").string();

    EXPECT_EQ(ChooseProgramFolder(over.c_str(), base / "exe", xdg.c_str(), "/h"), base / "over");
    EXPECT_TRUE(std::filesystem::is_directory(base / "over"));
    EXPECT_EQ(ChooseProgramFolder("", base / "exe", xdg.c_str(), "/h"), base / "exe");
    EXPECT_EQ(ChooseProgramFolder(nullptr, base / "missing", xdg.c_str(), "/h"),
              base / "xdg" / "mp3vandrel");
    // A relative data home is not valid and falls back to the home folder.
    EXPECT_EQ(ChooseProgramFolder(nullptr, base / "missing", "rel", base.c_str()),
              base / ".local/share/mp3vandrel");
    if (::geteuid() != 0) {  // root may write anywhere
        ::chmod((base / "exe").c_str(), 0555);
        EXPECT_EQ(ChooseProgramFolder(nullptr, base / "exe", xdg.c_str(), "/h"),
                  base / "xdg" / "mp3vandrel");
        ::chmod((base / "exe").c_str(), 0755);
    }
}

}  // namespace
}  // namespace mv
