// Removing a user's file: the trash's layout (read back the way a desktop's
// trash reads it, and against GLib's own trash where `gio` is installed), the
// deletion log, and the text fields the log and the exports are made of.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/file_ops.h"
#include "platform/text_fields.h"
#include "platform/trash.h"
#include "support/core/temp_tree.h"

namespace fs = std::filesystem;
using mv::test::TempTree;

namespace {

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream out;
    out << in.rdbuf();
    return out.str();
}

// The Path= value of a trash info file, percent-decoded.
std::string InfoPath(const std::string& info) {
    const std::smatch m = [&] {
        std::smatch found;
        std::regex_search(info, found, std::regex("\nPath=([^\n]*)\n"));
        return found;
    }();
    if (m.empty()) return "<no Path line>";
    const std::string text = m[1];
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

TEST(Trash, FilesWithOddNamesGoToTheHomeTrashAndCanBeFoundAgain) {
    TempTree tree;
    const std::string trash = tree.Path("data/Trash");
    const struct {
        const char* name;
    } cases[] = {{"Song.mp3"},           {"tab\there.mp3"},     {"line\nbreak.mp3"},
                 {"caf\xe9 latin1.mp3"}, {"100% sure #1?.mp3"}, {"no extension"}};
    for (const auto& c : cases) {
        const std::string file = tree.File(std::string("music/") + c.name, "sound");
        mv::TrashParams params{file, trash, "2026-12-08T10:11:12"};
        const mv::TrashResult result = mv::MoveToTrash(params);
        ASSERT_TRUE(result.ok) << c.name << ": " << result.why;
        EXPECT_FALSE(Exists(file)) << c.name;
        EXPECT_EQ(ReadAll(result.trashedPath), "sound") << c.name;
        const std::string info = ReadAll(
            trash + "/info/" + fs::path(result.trashedPath).filename().string() + ".trashinfo");
        EXPECT_TRUE(info.starts_with("[Trash Info]\n")) << info;
        EXPECT_NE(info.find("\nDeletionDate=2026-12-08T10:11:12\n"), std::string::npos) << info;
        EXPECT_EQ(InfoPath(info), file) << c.name;
        // Only the unreserved characters and "/" stand as themselves.
        EXPECT_EQ(info.find_first_of("\t\r #%?\xe9", info.find("Path=")), info.find('%'));
    }
}

TEST(Trash, ASecondFileOfTheSameNameGetsItsOwnEntry) {
    TempTree tree;
    const std::string trash = tree.Path("Trash");
    const std::string a = tree.File("a/Song.mp3", "first");
    const std::string b = tree.File("b/Song.mp3", "second");
    const auto first = mv::MoveToTrash({a, trash, "2026-12-08T10:00:00"});
    const auto second = mv::MoveToTrash({b, trash, "2026-12-08T10:00:01"});
    ASSERT_TRUE(first.ok && second.ok) << first.why << second.why;
    EXPECT_EQ(fs::path(first.trashedPath).filename(), "Song.mp3");
    EXPECT_EQ(fs::path(second.trashedPath).filename(), "Song.2.mp3");
    EXPECT_EQ(ReadAll(second.trashedPath), "second");
    EXPECT_EQ(InfoPath(ReadAll(trash + "/info/Song.2.mp3.trashinfo")), b);
}

TEST(Trash, ALinkIsTrashedItselfAndFoldersOrMissingFilesAreRefusedWithoutTraces) {
    TempTree tree;
    const std::string trash = tree.Path("Trash");
    const std::string target = tree.File("real.mp3", "kept");
    const std::string link = tree.Path("link.mp3");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const auto linked = mv::MoveToTrash({link, trash, "2026-12-08T10:00:00"});
    ASSERT_TRUE(linked.ok) << linked.why;
    EXPECT_EQ(ReadAll(target), "kept");
    EXPECT_TRUE(fs::is_symlink(linked.trashedPath));

    for (const std::string& refused : {tree.Folder("folder.mp3"), tree.Path("gone.mp3")}) {
        const auto result = mv::MoveToTrash({refused, trash, "2026-12-08T10:00:00"});
        EXPECT_FALSE(result.ok) << refused;
        EXPECT_FALSE(result.why.empty());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(trash + "/info"), fs::directory_iterator()), 1);
}

// The folder part of the path is resolved the way the kernel resolves it:
// "link/.." is the link target's parent, not the folder holding the link.
// The file checked is the file moved, and the entry records its real path.
TEST(Trash, AFolderLinkAndDotDotTrashTheFileTheKernelNames) {
    TempTree tree;
    const std::string trash = tree.Path("Trash");
    tree.Folder("b/c");
    tree.Folder("a");
    ASSERT_EQ(::symlink(tree.Path("b/c").c_str(), tree.Path("a/link").c_str()), 0);
    const std::string decoy = tree.File("a/x.mp3", "decoy");
    const std::string meant = tree.File("b/x.mp3", "meant");
    tree.File("a/only-here.mp3", "kept");

    const auto moved = mv::MoveToTrash({tree.Path("a/link/../x.mp3"), trash, "2026-12-08"});
    ASSERT_TRUE(moved.ok) << moved.why;
    EXPECT_EQ(ReadAll(moved.trashedPath), "meant");
    EXPECT_FALSE(Exists(meant));
    EXPECT_EQ(ReadAll(decoy), "decoy");
    EXPECT_EQ(InfoPath(ReadAll(trash + "/info/x.mp3.trashinfo")), meant);

    // A name that exists only beside the link is not there for the kernel.
    const auto missing = mv::MoveToTrash({tree.Path("a/link/../only-here.mp3"), trash, "x"});
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(ReadAll(tree.Path("a/only-here.mp3")), "kept");
}

// A file on another file system than the home trash, reached through a
// folder link, goes to that file system's own trash at its real top.
TEST(Trash, AFileOnAnotherFileSystemBehindALinkGoesToThatFileSystemsTrash) {
    TempTree tree;
    struct stat shm {};
    struct stat here {};
    std::string away = "/dev/shm/mv_trash_XXXXXX";
    if (::stat("/dev/shm", &shm) != 0 || ::stat(tree.Root().c_str(), &here) != 0 ||
        shm.st_dev == here.st_dev || ::access("/dev/shm", W_OK) != 0 ||
        ::mkdtemp(away.data()) == nullptr) {
        GTEST_SKIP() << "no writable /dev/shm on a file system of its own";
    }
    const std::string uid = std::to_string(::getuid());
    const bool hadTrash = Exists("/dev/shm/.Trash-" + uid);
    ASSERT_EQ(::symlink(away.c_str(), tree.Path("music").c_str()), 0);
    const std::string file = tree.File("music/song.mp3", "away");

    const auto moved = mv::MoveToTrash({file, tree.Path("Trash"), "2026-12-08T10:00:00"});
    const fs::path entry = moved.trashedPath;
    const fs::path infoFile =
        entry.parent_path().parent_path() / "info" / (entry.filename().string() + ".trashinfo");
    const std::string info = ReadAll(infoFile);
    std::error_code ec;
    fs::remove(entry, ec);
    fs::remove(infoFile, ec);
    fs::remove_all(away, ec);
    if (!hadTrash) fs::remove_all("/dev/shm/.Trash-" + uid, ec);

    ASSERT_TRUE(moved.ok) << moved.why;
    EXPECT_TRUE(moved.trashedPath.starts_with("/dev/shm/.Trash-" + uid + "/files/") ||
                moved.trashedPath.starts_with("/dev/shm/.Trash/" + uid + "/files/"))
        << moved.trashedPath;
    // Relative to the top of its file system, where that trash lies.
    EXPECT_EQ(InfoPath(info), fs::path(away).filename().string() + "/song.mp3");
}

// GLib's own trash (what the desktop's file manager uses) reads the same
// original path out of its entry as out of ours.
TEST(Trash, GLibTrashesToTheSameLayout) {
    if (std::system("command -v gio >/dev/null 2>&1") != 0) GTEST_SKIP() << "gio is not installed";
    TempTree tree;
    const std::string name = "Odd name #1 caf\xc3\xa9.mp3";
    const std::string ours = tree.File("ours/" + name, "x");
    const std::string theirs = tree.File("theirs/" + name, "x");
    ASSERT_TRUE(mv::MoveToTrash({ours, tree.Path("mine/Trash"), "2026-12-08T10:00:00"}).ok);
    const std::string command =
        "XDG_DATA_HOME='" + tree.Path("glib") + "' gio trash '" + theirs + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "gio could not trash here";
    const std::string glibInfo = ReadAll(tree.Path("glib/Trash/info/" + name + ".trashinfo"));
    const std::string ourInfo = ReadAll(tree.Path("mine/Trash/info/" + name + ".trashinfo"));
    EXPECT_EQ(InfoPath(glibInfo), theirs) << glibInfo;
    EXPECT_EQ(InfoPath(ourInfo), ours) << ourInfo;
    EXPECT_TRUE(Exists(tree.Path("glib/Trash/files/" + name)));
    EXPECT_TRUE(Exists(tree.Path("mine/Trash/files/" + name)));
}

TEST(DeletionLog, EachRemovalIsLoggedInOrderWithItsActionAndSize) {
    TempTree tree;
    const std::string a = tree.File("m/a.mp3", std::string(1234, 'a'));
    const std::string b = tree.File("m/tab\tb.mp3", "bb");
    const std::string c = tree.File("m/c.mp3", "c");
    const fs::path log = tree.Path("home/DeletedFiles.log");
    fs::create_directories(log.parent_path());

    mv::RemovalPolicy deleting{false, log, tree.Path("Trash")};
    mv::RemovalPolicy trashing{true, log, tree.Path("Trash")};
    EXPECT_TRUE(mv::RemoveUserFile(a, deleting).ok);
    EXPECT_TRUE(mv::RemoveUserFile(b, trashing).ok);
    const auto missing = mv::RemoveUserFile(tree.Path("m/none.mp3"), deleting);
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(mv::RemoveUserFile(c, trashing).ok);
    EXPECT_FALSE(Exists(a));
    EXPECT_TRUE(Exists(tree.Path("Trash/files/tab\tb.mp3")));

    std::istringstream lines(ReadAll(log));
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 3u) << ReadAll(log);
    const std::regex stamp(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d\t)");
    const std::string expected[] = {
        "deleted\t1234\t" + a, "trashed\t2\t" + tree.Path("m/tab\\tb.mp3"), "trashed\t1\t" + c};
    for (size_t i = 0; i < got.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(got[i], m, stamp) && m.position(0) == 0) << got[i];
        EXPECT_EQ(got[i].substr(m.length(0)), expected[i]);
    }
}

TEST(DeletionLog, AnUnwritableLogIsReportedButTheFileIsGone) {
    TempTree tree;
    const std::string a = tree.File("a.mp3", "a");
    tree.Folder("log-is-a-folder");
    const auto result = mv::RemoveUserFile(a, {false, tree.Path("log-is-a-folder"), ""});
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(Exists(a));
    EXPECT_NE(result.logError.find("log-is-a-folder"), std::string::npos) << result.logError;
}

TEST(TextFields, CsvAndJsonKeepEveryByte) {
    const struct {
        std::string in, csv, json;
    } cases[] = {
        {"plain", "plain", "\"plain\""},
        {"a,b", "\"a,b\"", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \\\"hi\\\"\""},
        {"two\nlines\r", "\"two\nlines\r\"", "\"two\\nlines\\r\""},
        {"back\\slash\ttab", "back\\slash\ttab", "\"back\\\\slash\\ttab\""},
        {"caf\xc3\xa9", "caf\xc3\xa9", "\"caf\xc3\xa9\""},
        {"caf\xe9", "caf\xe9", "\"caf\\udce9\""},                       // a Windows-1252 byte
        {"\xed\xa0\x80", "\xed\xa0\x80", "\"\\udced\\udca0\\udc80\""},  // an encoded surrogate
        {std::string("nul\0x", 5), std::string("nul\0x", 5), "\"nul\\u0000x\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mv::CsvField(c.in), c.csv) << c.in;
        EXPECT_EQ(mv::JsonString(c.in), c.json) << c.in;
    }
    EXPECT_EQ(mv::EscapeTsvField("a\tb\\c\r\n"), "a\\tb\\\\c\\r\\n");
}

}  // namespace
