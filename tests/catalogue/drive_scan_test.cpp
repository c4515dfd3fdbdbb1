#include "catalogue/drive_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "catalogue/catalogue_names.h"
#include "platform/ascii_case.h"
#include "platform/folder_listing.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// A visible stand-in for the name matcher's normaliser, so the rows show that
// the title comes from it and the path does not.
std::string Marked(std::string_view name) {
    std::string out(name);
    std::replace(out.begin(), out.end(), '_', ' ');
    return "<" + out + ">";
}

DriveScanResult Scan(const std::string& root, const std::string& ext = "Mp3") {
    DriveScanControl control;
    return ScanDrive({root, ext, Marked}, control);
}

std::vector<std::string> Folders(const DriveScanResult& r) {
    std::vector<std::string> out;
    for (const auto& f : r.files) out.push_back(r.FolderOf(f));
    return out;
}

std::vector<std::string> Paths(const DriveScanResult& r) {
    std::vector<std::string> out;
    for (const auto& f : r.files) out.push_back(r.PathOf(f));
    return out;
}

std::vector<std::string> Titles(const DriveScanResult& r) {
    std::vector<std::string> out;
    for (const auto& f : r.files) out.push_back(f.title);
    return out;
}

TEST(DriveScan, RootFileAndOneFolder) {
    test::TempTree tree;
    tree.File("a.mp3");
    tree.File("Music/c.mp3");
    tree.File("Music/b_x.mp3");
    const std::string root = tree.Root();
    const DriveScanResult r = Scan(root + "/");
    EXPECT_EQ(r.driveRoot, root);
    EXPECT_EQ(Titles(r), (std::vector<std::string>{"<a.mp3>", "<b x.mp3>", "<c.mp3>"}));
    EXPECT_EQ(Folders(r), (std::vector<std::string>{root, root + "/Music", root + "/Music"}));
    EXPECT_EQ(Paths(r), (std::vector<std::string>{root + "/a.mp3", root + "/Music/b_x.mp3",
                                                  root + "/Music/c.mp3"}));
    EXPECT_EQ(r.folders, (std::vector<std::string>{root, root + "/Music"}));
    EXPECT_EQ(r.resultText, "3 files found");
    EXPECT_TRUE(r.foldersPassedOver.empty());
    EXPECT_FALSE(r.cancelled);

    const auto found = FoundFilesOf(r);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[1].title, "<b x.mp3>");
    EXPECT_EQ(found[1].folder, root + "/Music");
}

TEST(DriveScan, ExtensionAndFolderRules) {
    test::TempTree tree;
    const std::string root = tree.Root();
    tree.File("Other/x.wma");              // only another extension: not listed...
    tree.File("Other/Sub/y.mp3");          // ...but its subfolders are
    tree.File("Loud/Z.MP3");               // the extension's case does not count
    tree.File("Loud/.hidden.mp3");         // hidden files are left out
    tree.File(".Hidden/h.mp3");            // and hidden folders with all below them
    tree.Folder("OnlyAFolder/named.mp3");  // a folder named like a match gives no row
    tree.File("Tunes/one.wma");
    const std::map<std::string, std::vector<std::string>> expected = {
        {"Mp3", {root + "/Loud/Z.MP3", root + "/Other/Sub/y.mp3"}},
        {"wma", {root + "/Other/x.wma", root + "/Tunes/one.wma"}},
        {"ogg", {}},
    };
    for (const auto& [ext, paths] : expected) {
        const DriveScanResult r = Scan(root, ext);
        EXPECT_EQ(Paths(r), paths) << ext;
        EXPECT_EQ(r.resultText, std::to_string(paths.size()) + " files found") << ext;
    }
}

// The plain model: every regular file that is not hidden, matches the
// extension and is reached without entering a hidden folder or a folder link,
// grouped by folder in case-ignoring order, then by name in the same order.
std::vector<std::string> ModelPaths(const std::string& root, const std::string& ext) {
    std::map<std::string, std::vector<std::string>> byFolder;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string name = it->path().filename().string();
        if (name.front() == '.') {
            if (it->is_directory()) it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && MatchesExtension(name, ext)) {
            byFolder[it->path().parent_path().string()].push_back(name);
        }
    }
    std::vector<std::string> folders;
    for (const auto& [folder, names] : byFolder) folders.push_back(folder);
    std::sort(folders.begin(), folders.end(), LessIgnoringAsciiCase);
    std::vector<std::string> paths;
    for (const auto& folder : folders) {
        auto names = byFolder[folder];
        std::sort(names.begin(), names.end(), LessIgnoringAsciiCase);
        for (const auto& n : names) paths.push_back(folder + "/" + n);
    }
    return paths;
}

TEST(DriveScan, OrderAgreesWithAPlainModel) {
    test::TempTree tree;
    const std::string root = tree.Root();
    // Names whose order depends on blanks, punctuation and case against '/'.
    for (const char* rel : {"Music/m.mp3",
                            "Music Live/l.mp3",
                            "Music/Rock/r.mp3",
                            "Music-X/d.mp3",
                            "music/lower.mp3",
                            "MUSIC/upper.mp3",
                            "Music/Rock Live/Disc 1/a.mp3",
                            "Music/Rock/Bonus/B.mp3",
                            "Music/Rock/Bonus/a.mp3",
                            "Music/Rock/Bonus/C.Mp3",
                            "b/Z.mp3",
                            "B/y.mp3",
                            "a b/1.mp3",
                            "a/b/2.mp3",
                            "a.b/3.mp3",
                            "x.mp3",
                            "X.mp3",
                            "_/u.mp3",
                            "Zed/deep/er/still/e.mp3",
                            "\xC3\x89"
                            "b\xC3\xA8"
                            "ne/f.mp3",
                            "zz/g.mp3"}) {
        tree.File(rel);
    }
    fs::create_symlink(root + "/Music", root + "/Linked folder");          // not followed
    fs::create_symlink(root + "/x.mp3", root + "/Music/linked file.mp3");  // listed

    const DriveScanResult r = Scan(root);
    const std::vector<std::string> got = Paths(r);
    for (const auto& f : r.files) EXPECT_EQ(f.title, Marked(f.name));
    EXPECT_EQ(got, ModelPaths(root, "Mp3"));
    // Every folder given is used, once, in the rows' order.
    std::vector<std::string> used = Folders(r);
    used.erase(std::unique(used.begin(), used.end()), used.end());
    EXPECT_EQ(used, r.folders);
    EXPECT_EQ(got.size(), 22u);  // 21 files and the link: the model must see them too
}

TEST(DriveScan, NamesTheListCannotHoldAreLeftOutAndNamed) {
    test::TempTree tree;
    tree.File("\\Injected CD.mp3");
    tree.File("a\\b.mp3");  // a backslash inside a name reads back as it is
    tree.File("\\Bad/x.mp3");
    tree.File("\\Bad/Sub/y.mp3");
    tree.File("\\Bad Sibling/z.mp3");
    tree.File("Fine/\\Deep/w.mp3");
    tree.File("Fine/\\only.mp3");
    tree.File("Fine/Sub/v.mp3");
    const std::string root = tree.Root();
    const DriveScanResult r = Scan(root);
    EXPECT_EQ(Paths(r), (std::vector<std::string>{root + "/a\\b.mp3", root + "/Fine/Sub/v.mp3"}));
    // Fine gave no row, so it is no folder of the rows.
    EXPECT_EQ(r.folders, (std::vector<std::string>{root, root + "/Fine/Sub"}));
    EXPECT_EQ(r.namesPassedOver,
              (std::vector<std::string>{root + "/\\Injected CD.mp3", root + "/\\Bad",
                                        root + "/\\Bad Sibling", root + "/Fine/\\only.mp3",
                                        root + "/Fine/\\Deep"}));
    EXPECT_EQ(r.resultText, "2 files found");
}

TEST(DriveScan, TheFirstFolderNameThatCannotBeStored) {
    const struct {
        const char* root;
        const char* folder;
        const char* part;
    } cases[] = {
        {"/m/cd", "/m/cd", ""},
        {"/m/cd", "/m/cd/A/B", ""},
        {"/m/cd", "/m/cd/A/\\B/\\C", "/m/cd/A/\\B"},
        {"/m/cd", "/m/cd//\\B", "/m/cd//\\B"},
        {"/m/\\cd", "/m/\\cd/A", ""},  // the drive's own path is never stored
        {"/m/cd", "/m/cdx/\\B", ""},   // not on the drive: saving refuses it
        {"/", "/\\A/B", "/\\A"},
        {"/", "/A/..", "/A/.."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnstorableFolderPart(c.root, c.folder), c.part) << c.root << " " << c.folder;
    }
}

TEST(DriveScan, AnUnreadableRootGivesNothingAndIsNamed) {
    test::TempTree tree;
    const DriveScanResult r = Scan(tree.Path("no such drive"));
    EXPECT_TRUE(r.files.empty());
    EXPECT_EQ(r.foldersPassedOver, std::vector<std::string>{tree.Path("no such drive")});
    EXPECT_EQ(r.resultText, "0 files found");
}

TEST(DriveScan, CountsTheFoldersItReadsAndHonoursAStop) {
    test::TempTree tree;
    tree.File("A/1.mp3");
    tree.File("A/2.mp3");
    tree.File("B/3.mp3");
    tree.File("C/sub/4.mp3");

    DriveScanControl control;
    const DriveScanResult full = ScanDrive({tree.Root(), "mp3", nullptr}, control);
    EXPECT_FALSE(full.cancelled);
    EXPECT_EQ(Titles(full), (std::vector<std::string>{"1.mp3", "2.mp3", "3.mp3", "4.mp3"}));
    // The root, A, B, C and C/sub, each read once.
    EXPECT_EQ(control.foldersDone, 5u);
    EXPECT_EQ(control.foldersTotal, 5u);

    // A stop pressed before the walk reaches a folder: nothing more is read.
    DriveScanControl stopped;
    stopped.stopRequested = true;
    const DriveScanResult none = ScanDrive({tree.Root(), "mp3", nullptr}, stopped);
    EXPECT_TRUE(none.cancelled);
    EXPECT_TRUE(none.files.empty());
    EXPECT_EQ(stopped.foldersDone, 0u);
    EXPECT_EQ(none.resultText, "0 files found");
}

}  // namespace
}  // namespace mv
