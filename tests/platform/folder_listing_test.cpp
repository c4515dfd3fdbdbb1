#include "platform/folder_listing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/file_ops.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;

namespace mv {
namespace {

class TempTree : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("mv_listing_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root_);
    }
    std::string Path(const std::string& rel) const { return (root_ / rel).string(); }
    void File(const std::string& rel, const std::string& content = "x") {
        fs::create_directories((root_ / rel).parent_path());
        std::ofstream(root_ / rel) << content;
    }
    void Dir(const std::string& rel) { fs::create_directories(root_ / rel); }

    fs::path root_;
};

TEST(PathJoining, RootStandsForItselfAndNoDoubleSeparators) {
    EXPECT_EQ(JoinPath("/", "a.mp3"), "/a.mp3");
    EXPECT_EQ(JoinPath("/music", "a.mp3"), "/music/a.mp3");
    EXPECT_EQ(JoinPath("/music/", "a.mp3"), "/music/a.mp3");
    EXPECT_EQ(TrimFolderPath("/"), "/");
    EXPECT_EQ(TrimFolderPath("//"), "/");
    EXPECT_EQ(TrimFolderPath("/music//"), "/music");
}

TEST(ExtensionWildcard, IgnoresCaseAndKeepsWildcards) {
    EXPECT_TRUE(MatchesExtension("Song.MP3", "Mp3"));
    EXPECT_TRUE(MatchesExtension("a.b.mp3", "mp3"));
    EXPECT_TRUE(MatchesExtension(".mp3", "mp3"));
    EXPECT_FALSE(MatchesExtension("Song.mp3.txt", "mp3"));
    EXPECT_FALSE(MatchesExtension("Songmp3", "mp3"));
    EXPECT_FALSE(MatchesExtension("Song.mp", "mp3"));
    EXPECT_TRUE(MatchesExtension("Song.wav", "*"));
    EXPECT_TRUE(MatchesExtension("Song.mp2", "mp?"));
    EXPECT_FALSE(MatchesExtension("Song.mp23", "mp?"));
}

TEST_F(TempTree, FileListingKeepsVisibleMatchingFilesSortedIgnoringCase) {
    File("b.mp3");
    File("A.MP3");
    File("c.Mp3");
    File("a2.mp3");
    File(".hidden.mp3");
    File("notes.txt");
    Dir("folder.mp3");
    auto names = ListFolderFiles(root_.string(), "mp3");
    ASSERT_TRUE(names.has_value());
    EXPECT_THAT(*names, ElementsAre("A.MP3", "a2.mp3", "b.mp3", "c.Mp3"));
    EXPECT_FALSE(ListFolderFiles(Path("missing"), "mp3").has_value());
}

TEST_F(TempTree, CollectionIsBreadthFirstPrunedAndSkipsHiddenFolders) {
    File("top.mp3");
    File("a/x/deep.mp3");  // a itself holds no mp3, but a/x does
    File("b/song.MP3");
    File("c/readme.txt");          // pruned
    File(".hidden/song.mp3");      // never searched
    File(".hidden/sub/song.mp3");  // nor below it
    File("d/.secret.mp3");         // a hidden file still makes the folder count
    Dir("e/folder.mp3");           // and so does a folder with a matching name
    fs::create_directory_symlink(root_, root_ / "loop");  // not followed

    auto folders = CollectFolders(root_.string() + "/", "mp3");
    const std::string r = root_.string();
    ASSERT_EQ(folders.size(), 5u);
    EXPECT_EQ(folders[0], r);
    // The second level comes in file system order, then the third.
    std::vector<std::string> level2(folders.begin() + 1, folders.begin() + 4);
    std::sort(level2.begin(), level2.end());
    EXPECT_THAT(level2, ElementsAre(r + "/b", r + "/d", r + "/e"));
    EXPECT_EQ(folders[4], r + "/a/x");
}

TEST_F(TempTree, CollectionOfFolderWithoutMatchesIsEmpty) {
    File("a/readme.txt");
    EXPECT_TRUE(CollectFolders(root_.string(), "mp3").empty());
    EXPECT_TRUE(CollectFolders(Path("missing"), "mp3").empty());
}

TEST_F(TempTree, FileOpsActOnFilesOnly) {
    File("ro.mp3");
    fs::permissions(Path("ro.mp3"), fs::perms::owner_read);
    EXPECT_TRUE(ClearAttributes(Path("ro.mp3")));
    EXPECT_NE(fs::status(Path("ro.mp3")).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_TRUE(DeletePermanently(Path("ro.mp3")));
    EXPECT_FALSE(fs::exists(Path("ro.mp3")));
    EXPECT_FALSE(DeletePermanently(Path("ro.mp3")));

    Dir("dir.mp3");
    EXPECT_FALSE(ClearAttributes(Path("dir.mp3")));
    EXPECT_FALSE(DeletePermanently(Path("dir.mp3")));
    EXPECT_TRUE(fs::exists(Path("dir.mp3")));

    File("target.mp3");
    fs::create_symlink(root_ / "target.mp3", root_ / "link.mp3");
    EXPECT_TRUE(DeletePermanently(Path("link.mp3")));
    EXPECT_TRUE(fs::exists(Path("target.mp3")));
}

}  // namespace
}  // namespace mv
