#include "dupes/compare_gathering.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/core/temp_tree.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::TempTree;

ListedFileId Examined(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), false, true};
}

// The folder listing's identities are the files' own, wherever they came from.
TEST(ListedIdentities, AreTheFilesOwnDeviceAndInode) {
    TempTree tree;
    const auto song = tree.File("m/Song.mp3", 3);
    tree.File("m/Other.mp3", 4);
    fs::create_hard_link(song, tree.Path("m/Hard.mp3"));
    fs::create_symlink(song, tree.Path("m/Link.mp3"));
    fs::create_symlink(tree.Path("m/gone.mp3"), tree.Path("m/Dangling.mp3"));
    const auto listed = ListFolderFilesWithIds(tree.Path("m"), "mp3");
    ASSERT_TRUE(listed.has_value());
    ASSERT_THAT(listed->files,
                ::testing::ElementsAre("Hard.mp3", "Link.mp3", "Other.mp3", "Song.mp3"));
    ASSERT_EQ(listed->ids.size(), 4u);
    for (size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(listed->files[k]);
        const ListedFileId expected = Examined(JoinPath(tree.Path("m"), listed->files[k]));
        EXPECT_EQ(listed->ids[k].device, expected.device);
        EXPECT_EQ(listed->ids[k].inode, expected.inode);
        EXPECT_EQ(listed->ids[k].link, listed->files[k] == "Link.mp3");
    }
    // The walk gives the very same identities.
    const FolderFilesCollection walked = CollectFolderFiles(tree.Path("m"), "mp3");
    ASSERT_EQ(walked.folders.size(), 1u);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(walked.folders[0].ids[k].inode, listed->ids[k].inode);
        EXPECT_EQ(walked.folders[0].ids[k].link, listed->ids[k].link);
    }
}

// Facts from identities a listing claims: two entries that claim one identity
// are looked up before they count as one file.
TEST(FileFactsFromListing, SharedClaimsAreCheckedAndTrueOnesKept) {
    TempTree tree;
    const auto a = tree.File("m/a.mp3", 1);
    const auto b = tree.File("m/b.mp3", 2);
    fs::create_hard_link(a, tree.Path("m/c.mp3"));
    fs::create_symlink(a, tree.Path("m/d.mp3"));
    const ListedFileId idA = Examined(a);
    const ListedFileId idB = Examined(b);
    ListedFileId idD = idA;
    idD.link = true;

    struct Case {
        const char* what;
        std::vector<ListedFileId> ids;  // of a, b, c, d in this order
        std::vector<size_t> firstPath;
        std::vector<bool> linkedTarget;
        std::vector<bool> onlyLinks;
    };
    ListedFileId falseClaim = idA;  // b claiming a's number without a lookup
    falseClaim.examined = false;
    ListedFileId entryA = idA;
    entryA.examined = false;
    ListedFileId unknown{};
    const Case cases[] = {
        {"true identities", {idA, idB, idA, idD}, {0, 1, 0, 0}, {1, 0, 1, 1}, {0, 0, 0, 0}},
        {"b claims a's number from its entry",
         {entryA, falseClaim, idA, idD},
         {0, 1, 0, 0},
         {1, 0, 1, 1},
         {0, 0, 0, 0}},
        {"a unknown: only itself",
         {unknown, idB, idA, idD},
         {0, 1, 2, 2},
         {0, 0, 1, 1},
         {0, 0, 0, 0}},
        {"only the link and b",
         {unknown, idB, unknown, idD},
         {0, 1, 2, 3},
         {0, 0, 0, 0},
         {0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<FolderWithFiles> folders(1);
        folders[0].folder = tree.Path("m");
        folders[0].files = {"a.mp3", "b.mp3", "c.mp3", "d.mp3"};
        folders[0].ids = c.ids;
        const GatheredFiles files(folders);
        const std::vector<FileFacts> facts = ReadFileFacts(files);
        ASSERT_EQ(facts.size(), 4u);
        for (size_t k = 0; k < 4; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(facts[k].firstPath, c.firstPath[k]);
            EXPECT_EQ(facts[k].linkedTarget, c.linkedTarget[k]);
            EXPECT_EQ(facts[k].onlyLinks, c.onlyLinks[k]);
        }
    }
}

TEST(FileSizes, ReadOnFirstAskAndKeptThen) {
    TempTree tree;
    const auto a = tree.File("a.mp3", 7);
    const FileSizes sizes(2);
    EXPECT_EQ(sizes.Of(0, a), 7u);
    tree.File("a.mp3", 9);  // changed during the run: the first reading stands
    EXPECT_EQ(sizes.Of(0, a), 7u);
    EXPECT_EQ(sizes.Of(1, tree.Path("missing.mp3")), std::nullopt);
    tree.File("missing.mp3", 1);
    EXPECT_EQ(sizes.Of(1, tree.Path("missing.mp3")), std::nullopt);
}

TEST(GatheredFilesPaths, FolderByFolderAndUnreadableFoldersNamed) {
    TempTree tree;
    tree.File("x/b.mp3");
    tree.File("x/A.mp3");
    tree.File("y/c.MP3");
    const GatheredFiles files({tree.Path("x"), tree.Path("missing"), tree.Path("y")}, "mp3");
    ASSERT_EQ(files.Count(), 3u);
    EXPECT_EQ(files.Path(0), tree.Path("x/A.mp3"));
    EXPECT_EQ(files.Name(1), "b.mp3");
    EXPECT_EQ(files.Path(2), tree.Path("y/c.MP3"));
    EXPECT_THAT(files.FoldersPassedOver(), ::testing::ElementsAre(tree.Path("missing")));
}

}  // namespace
}  // namespace mv
