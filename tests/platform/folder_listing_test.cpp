#include "platform/folder_listing.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "platform/file_ops.h"
#include "support/core/temp_tree.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;

namespace mv {
namespace {

// Each test lists its own fresh temporary tree.
class FolderListing : public ::testing::Test {
  protected:
    std::string Path(const std::string& rel) const { return tree_.Path(rel); }
    void File(const std::string& rel) const { tree_.File(rel); }
    void Dir(const std::string& rel) const { tree_.Folder(rel); }

    test::TempTree tree_;
    const fs::path root_{tree_.Root()};
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

TEST_F(FolderListing, FileListingKeepsVisibleMatchingFilesSortedIgnoringCase) {
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

TEST_F(FolderListing, CollectionIsBreadthFirstPrunedAndSkipsHiddenFolders) {
    File("top.mp3");
    File("a/x/deep.mp3");  // a itself holds no mp3, but a/x does
    File("b/song.MP3");
    File("c/readme.txt");          // pruned
    File(".hidden/song.mp3");      // never searched
    File(".hidden/sub/song.mp3");  // nor below it
    File("d/.secret.mp3");         // a hidden file still makes the folder count
    Dir("e/folder.mp3");           // and so does a folder with a matching name
    fs::create_directory_symlink(root_, root_ / "loop");  // not followed

    const FolderCollection collected = CollectFolders(root_.string() + "/", "mp3");
    EXPECT_TRUE(collected.passedOver.empty());
    const auto& folders = collected.folders;
    const std::string r = root_.string();
    ASSERT_EQ(folders.size(), 5u);
    EXPECT_EQ(folders[0], r);
    // The second level comes in file system order, then the third.
    std::vector<std::string> level2(folders.begin() + 1, folders.begin() + 4);
    std::sort(level2.begin(), level2.end());
    EXPECT_THAT(level2, ElementsAre(r + "/b", r + "/d", r + "/e"));
    EXPECT_EQ(folders[4], r + "/a/x");
}

TEST_F(FolderListing, CollectionOfFolderWithoutMatchesIsEmpty) {
    File("a/readme.txt");
    EXPECT_TRUE(CollectFolders(root_.string(), "mp3").folders.empty());
    const FolderCollection missing = CollectFolders(Path("missing"), "mp3");
    EXPECT_TRUE(missing.folders.empty());
    EXPECT_THAT(missing.passedOver, ElementsAre(Path("missing")));
}

// A chain of folders too deep for its path to be opened: created and removed
// one level at a time, each relative to the one above.
class DeepChain {
  public:
    DeepChain(const fs::path& root, const std::string& name, size_t levels) : name_(name) {
        fds_.push_back(open(root.c_str(), O_RDONLY | O_DIRECTORY));
        for (size_t k = 0; k < levels && fds_.back() >= 0; ++k) {
            mkdirat(fds_.back(), name.c_str(), 0700);
            const int fd = openat(fds_.back(), name.c_str(), O_RDONLY | O_DIRECTORY);
            close(openat(fd, "song.mp3", O_WRONLY | O_CREAT, 0600));
            fds_.push_back(fd);
        }
    }
    ~DeepChain() {
        for (size_t k = fds_.size(); k-- > 1;) {
            unlinkat(fds_[k], "song.mp3", 0);
            close(fds_[k]);
            unlinkat(fds_[k - 1], name_.c_str(), AT_REMOVEDIR);
        }
        close(fds_.front());
    }
    bool Made() const { return fds_.back() >= 0; }

  private:
    std::string name_;
    std::vector<int> fds_;
};

TEST_F(FolderListing, FoldersThatCannotBeReadAreNamed) {
    // Root may read anything, so a locked folder only counts for other users;
    // a path longer than the system takes fails for everyone.
    const bool locks = geteuid() != 0;
    File("locked/song.mp3");
    if (locks) fs::permissions(Path("locked"), fs::perms::none);
    const std::string name(200, 'd');
    const DeepChain chain(root_, name, PATH_MAX / name.size() + 2);
    ASSERT_TRUE(chain.Made());

    const FolderCollection collected = CollectFolders(root_.string(), "mp3");
    // Every level that could be opened is kept, the first that could not is named.
    std::string deepest = root_.string();
    std::vector<std::string> kept;
    while (deepest.size() + 1 + name.size() < PATH_MAX) {
        deepest += "/" + name;
        kept.push_back(deepest);
    }
    const std::string tooLong = deepest + "/" + name;
    if (locks) {
        EXPECT_THAT(collected.passedOver, ElementsAre(Path("locked"), tooLong));
    } else {
        EXPECT_THAT(collected.passedOver, ElementsAre(tooLong));
        kept.push_back(Path("locked"));
    }
    // "locked" and the chain's first level come in file system order.
    std::vector<std::string> folders = collected.folders;
    std::sort(folders.begin(), folders.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(folders, kept);
    if (locks) fs::permissions(Path("locked"), fs::perms::owner_all);
}

// The one walk gives what the collection and a listing of each folder give.
TEST_F(FolderListing, CollectingFilesAgreesWithCollectingThenListing) {
    for (const char* rel : {"top.MP3", "b.mp3", "A.mp3", "a/x/deep.mp3", "a/x/Deep.mp3",
                            "c/readme.txt", ".hidden/song.mp3", "d/.secret.mp3", "m/.h.mp3",
                            "m/Shown.mp3", "Music Live/l.mp3", "Music/Rock/r.mp3"}) {
        File(rel);
    }
    Dir("e/folder.mp3");
    Dir("e/folder.mp3/inner.mp3");
    fs::create_directory_symlink(root_, root_ / "loop");
    fs::create_symlink(root_ / "b.mp3", root_ / "m/link.mp3");
    fs::create_symlink(root_ / "gone", root_ / "m/dangling.mp3");
    const std::string name(200, 'd');
    const DeepChain chain(root_, name, PATH_MAX / name.size() + 2);
    ASSERT_TRUE(chain.Made());

    for (const std::string ext : {"mp3", "txt", "MP?", "ogg"}) {
        const FolderCollection folders = CollectFolders(root_.string(), ext);
        const FolderFilesCollection walked = CollectFolderFiles(root_.string() + "/", ext);
        EXPECT_EQ(walked.passedOver, folders.passedOver) << ext;
        EXPECT_FALSE(walked.passedOver.empty()) << ext;  // the chain's end
        EXPECT_FALSE(walked.stopped);
        ASSERT_EQ(walked.folders.size(), folders.folders.size()) << ext;
        for (size_t k = 0; k < folders.folders.size(); ++k) {
            EXPECT_EQ(walked.folders[k].folder, folders.folders[k]) << ext;
            EXPECT_EQ(walked.folders[k].files,
                      ListFolderFiles(folders.folders[k], ext).value_or(std::vector<std::string>{}))
                << ext << " " << folders.folders[k];
        }
    }
    const FolderFilesCollection mp3 = CollectFolderFiles(root_.string(), "mp3");
    ASSERT_FALSE(mp3.folders.empty());
    EXPECT_THAT(mp3.folders[0].files, ElementsAre("A.mp3", "b.mp3", "top.MP3"));
}

// A walk of one level wide enough to be read on two threads gives what a plain
// breadth-first walk gives, in its order.
TEST_F(FolderListing, WideLevelsAgreeWithAPlainWalk) {
    // append, not "f" + ...: GCC 12's false -Wrestrict when optimising.
    const auto in = [](const std::string& folder, const char* rest) {
        return std::string(folder).append(rest);
    };
    for (int a = 0; a < 120; ++a) {
        const std::string top = std::string("f").append(std::to_string(a * 7919 % 120));
        if (a % 3 != 0) File(in(top, "/Song ").append(std::to_string(a)).append(".mp3"));
        if (a % 4 == 0) File(in(top, "/sub/inner/x.MP3"));
        if (a % 5 == 0) File(in(top, "/notes.txt"));
        if (a % 11 == 0) Dir(in(top, "/empty"));
    }
    // The plain model: a queue, each folder read with std::filesystem in the
    // file system's order; kept when any entry's name matches.
    std::vector<std::string> queue{root_.string()};
    std::vector<std::string> expected;
    for (size_t i = 0; i < queue.size(); ++i) {
        bool match = false;
        for (const auto& e : fs::directory_iterator(queue[i])) {
            const std::string name = e.path().filename().string();
            match = match || MatchesExtension(name, "mp3");
            if (name[0] != '.' && e.is_directory() && !e.is_symlink()) {
                queue.push_back(e.path().string());
            }
        }
        if (match) expected.push_back(queue[i]);
    }
    const FolderFilesCollection walked = CollectFolderFiles(root_.string(), "mp3");
    std::vector<std::string> got;
    for (const auto& f : walked.folders) {
        got.push_back(f.folder);
        EXPECT_EQ(f.files, ListFolderFiles(f.folder, "mp3").value_or(std::vector<std::string>{}));
        EXPECT_EQ(f.ids.size(), f.files.size());
    }
    EXPECT_GT(expected.size(), 100u);
    EXPECT_EQ(got, expected);
}

TEST_F(FolderListing, CollectingFilesCountsFoldersAndStops) {
    File("a/1.mp3");
    File("a/b/2.mp3");
    Dir("c");
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> read{0}, known{0};
    const FolderFilesCollection all = CollectFolderFiles(Path(""), "mp3", {&stop, &read, &known});
    EXPECT_FALSE(all.stopped);
    EXPECT_EQ(all.folders.size(), 2u);
    EXPECT_EQ(read, 4u);  // the root, a, c and a/b
    EXPECT_EQ(known, 4u);

    stop = true;
    const FolderFilesCollection none = CollectFolderFiles(Path(""), "mp3", {&stop, &read, &known});
    EXPECT_TRUE(none.stopped);
    EXPECT_TRUE(none.folders.empty());
}

TEST_F(FolderListing, FileOpsActOnFilesOnly) {
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
