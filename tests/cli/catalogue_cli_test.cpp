#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cli_runner.h"
#include "platform/text_lines.h"
#include "support/core/temp_tree.h"

using ::testing::HasSubstr;
using namespace std::string_literals;

namespace mv {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class CatalogueCli : public ::testing::Test {
  protected:
    void SetUp() override { tree_.Folder("home"); }
    std::string Home() const { return tree_.Path("home"); }
    fs::path DefaultList() const { return tree_.Path("home/Mp3List.txt"); }
    void WriteList(const Lines& lines, const fs::path& path = {}) const {
        ASSERT_EQ(WriteLinesAtomically(path.empty() ? DefaultList() : path, lines), "");
    }
    Lines ReadList(const fs::path& path = {}) const {
        return ReadLines(path.empty() ? DefaultList() : path).value_or(Lines{"<unreadable>"});
    }
    CliRun Run(const std::vector<std::string>& args) const { return RunCli(args, "", Home()); }

    test::TempTree tree_;
};

TEST_F(CatalogueCli, AddScansTheFolderAsADriveAndAppendsACd) {
    tree_.File("cd/a.mp3");
    tree_.File("cd/Music/b_x.mp3");
    tree_.File("cd/Music/c.MP3");
    tree_.File("cd/Music/notes.txt");
    const CliRun r = Run({"catalogue", "add", "--name", "Disc 1", tree_.Path("cd") + "/"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr("3 files found"));
    EXPECT_EQ(ReadList(),
              (Lines{"\\Mp3 List", "\\Disc 1", "a.mp3", "/Music", "b x.mp3", "c.MP3", ".."}));

    // The same name in other letter case is refused, and kept, unless replaced.
    tree_.File("cd2/Other/z.mp3");
    const CliRun taken = Run({"catalogue", "add", "--name", "DISC 1", tree_.Path("cd2")});
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_THAT(taken.err, HasSubstr("already in the list"));
    EXPECT_EQ(ReadList().size(), 7u);

    WriteList({"\\Mp3 List", "\\Disc 1", "a.mp3", "\\Kept", "k.mp3"});
    const CliRun replaced =
        Run({"catalogue", "add", "--replace", "--name", "DISC 1", tree_.Path("cd2")});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(ReadList(),
              (Lines{"\\Mp3 List", "\\Kept", "k.mp3", "\\DISC 1", "/Other", "z.mp3", ".."}));
}

TEST_F(CatalogueCli, AddLeavesOutAndNamesNamesTheListCannotHold) {
    tree_.File("cd/\\Injected CD.mp3");
    tree_.File("cd/\\Folder/in.mp3");
    tree_.File("cd/kept.mp3");
    const CliRun r = Run({"catalogue", "add", "--name", "Disc", tree_.Path("cd")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Quoted piece by piece: GCC 12 misreads "x" + temporary when optimising.
    const auto quoted = [](std::string path) { return path.insert(0, 1, '"').append(1, '"'); };
    EXPECT_THAT(r.err, HasSubstr(quoted(tree_.Path("cd/\\Injected CD.mp3"))));
    EXPECT_THAT(r.err, HasSubstr(quoted(tree_.Path("cd/\\Folder"))));
    EXPECT_EQ(ReadList(), (Lines{"\\Mp3 List", "\\Disc", "kept.mp3"}));
}

TEST_F(CatalogueCli, AddTakesAListFileAnExtensionAndTheListInAnyCase) {
    tree_.File("cd/Sub/one.wma");
    tree_.File("cd/Sub/two.mp3");
    const fs::path other = tree_.Path("elsewhere.txt");
    const CliRun r = Run({"catalogue", "add", "--list", other.string(), "--ext", "wma", "--name",
                          "Voices", tree_.Path("cd")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadList(other), (Lines{"\\Mp3 List", "\\Voices", "/Sub", "one.wma", ".."}));
    EXPECT_FALSE(fs::exists(DefaultList()));

    // A catalogue copied from Windows keeps its own spelling; it is still the list.
    const fs::path windowsName = tree_.Path("home/mp3list.TXT");
    WriteList({"\\Mp3 List", "\\Old", "o.mp3"}, windowsName);
    EXPECT_EQ(Run({"catalogue", "add", "--name", "New", tree_.Path("cd")}).exitCode, 0);
    EXPECT_EQ(ReadList(windowsName),
              (Lines{"\\Mp3 List", "\\Old", "o.mp3", "\\New", "/Sub", "two.mp3", ".."}));
    EXPECT_FALSE(fs::exists(DefaultList()));
}

TEST_F(CatalogueCli, AddRefusals) {
    tree_.File("cd/a.mp3");
    tree_.Folder("empty/Sub");
    const struct {
        Lines args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"--name", "X", tree_.Path("empty")}, 1, "nothing is saved"},
        {{"--name", "X", tree_.Path("no such")}, 1, "No such folder"},
        {{"--name", "", tree_.Path("cd")}, 2, "needs a name"},
        {{tree_.Path("cd")}, 2, "--name"},
    };
    for (const auto& c : cases) {
        Lines args{"catalogue", "add"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun r = Run(args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.message << "\n" << r.err;
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_FALSE(fs::exists(DefaultList())) << c.message;  // not even a header
    }
}

TEST_F(CatalogueCli, AListThatCannotBeReadIsNeverReplaced) {
    tree_.File("cd/a.mp3");
    WriteList({"\\Mp3 List", "\\CD", "t.mp3"});
    ASSERT_EQ(::mkfifo(tree_.Path("pipe.txt").c_str(), 0600), 0);
    for (const fs::path& list :
         {fs::path(tree_.Folder("folder.txt")), fs::path(tree_.Path("pipe.txt"))}) {
        const fs::file_type type = fs::symlink_status(list).type();
        for (const Lines& args : {Lines{"add", "--name", "X", tree_.Path("cd")}, Lines{"list"},
                                  Lines{"show", "CD"}, Lines{"remove", "CD"}}) {
            Lines full{"catalogue"};
            full.insert(full.end(), args.begin(), args.end());
            full.insert(full.end(), {"--list", list.string()});
            const CliRun r = Run(full);
            EXPECT_EQ(r.exitCode, 1) << args[0] << " " << list;
            EXPECT_THAT(r.err, HasSubstr("Cannot read " + list.string()));
            EXPECT_EQ(fs::symlink_status(list).type(), type);
        }
    }
}

TEST_F(CatalogueCli, ListShowAndRemove) {
    // A Windows-1252 name (0xC9: É), a TAB and a backslash in names and titles.
    WriteList({"\\Mp3 List", "\\Rock 1999", "/Music", "/Pop", "Singer Tune.mp3", "..", "/Rock",
               "A.mp3", "B\tC\\D.mp3", "..", "..", "\\Live \xC9t\xC9", "Intro.mp3", "/Encore",
               "Finale.mp3", "..", "\\No titles"});

    const CliRun listed = Run({"catalogue", "list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "Rock 1999\t3\nLive \xC3\x89t\xC3\x89\t2\nNo titles\t0\n");

    const CliRun nul = Run({"catalogue", "list", "-z"});
    EXPECT_EQ(nul.out,
              "Rock 1999\0"
              "3\0"
              "Live \xC3\x89t\xC3\x89\0"
              "2\0"
              "No titles\0"
              "0\0"s);

    const CliRun shown = Run({"catalogue", "show", "rock 1999"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out,
              "Singer Tune.mp3\t/Rock 1999/Music/Pop\n"
              "A.mp3\t/Rock 1999/Music/Rock\n"
              "B\\tC\\\\D.mp3\t/Rock 1999/Music/Rock\n");
    // A name typed as UTF-8 finds the one stored by the Windows program.
    EXPECT_EQ(Run({"catalogue", "show", "LIVE \xC3\x89T\xC3\x89"}).out,
              "Intro.mp3\t/Live \xC3\x89t\xC3\x89\nFinale.mp3\t/Live \xC3\x89t\xC3\x89/Encore\n");
    EXPECT_EQ(Run({"catalogue", "show", "No titles"}).out, "");
    // Nothing is escaped under -z: the title keeps its TAB and backslash.
    EXPECT_EQ(Run({"catalogue", "show", "--null", "Rock 1999"}).out,
              "Singer Tune.mp3\0/Rock 1999/Music/Pop\0A.mp3\0/Rock 1999/Music/Rock\0"
              "B\tC\\D.mp3\0/Rock 1999/Music/Rock\0"s);

    const Lines before = ReadList();
    const CliRun unknown = Run({"catalogue", "remove", "Nothing"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_THAT(unknown.err, HasSubstr("no CD named \"Nothing\""));
    EXPECT_EQ(Run({"catalogue", "show", "Nothing"}).exitCode, 1);
    EXPECT_EQ(ReadList(), before);

    const CliRun removed = Run({"catalogue", "remove", "ROCK 1999"});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(ReadList(), (Lines{"\\Mp3 List", "\\Live \xC9t\xC9", "Intro.mp3", "/Encore",
                                 "Finale.mp3", "..", "\\No titles"}));
    EXPECT_EQ(Run({"catalogue", "list"}).out, "Live \xC3\x89t\xC3\x89\t2\nNo titles\t0\n");
}

TEST_F(CatalogueCli, ANulIsAByteOfItsLineInEveryCommand) {
    const std::string cd("\\CD\0One", 7);
    const std::string folder("/F\0x", 4);
    WriteList({"\\Mp3 List", cd, "a.mp3", folder, "b.mp3", "..", "\\Two", "c.mp3"});

    const CliRun listed = Run({"catalogue", "list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    // However the NUL is shown, the name goes on after it and the titles count.
    EXPECT_THAT(listed.out, ::testing::StartsWith("CD"));
    EXPECT_THAT(listed.out, ::testing::EndsWith("One\t2\nTwo\t1\n"));
    // "CD" is not the name of the CD before the NUL.
    EXPECT_EQ(Run({"catalogue", "show", "CD"}).exitCode, 1);
    EXPECT_EQ(Run({"catalogue", "show", "Two"}).out, "c.mp3\t/Two\n");

    const CliRun removed = Run({"catalogue", "remove", "two"});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(ReadList(), (Lines{"\\Mp3 List", cd, "a.mp3", folder, "b.mp3", ".."}));
}

TEST_F(CatalogueCli, WithoutAListNothingIsListedOrCreated) {
    for (const Lines& args : {Lines{"catalogue", "list"}, Lines{"catalogue", "show", "CD"},
                              Lines{"catalogue", "remove", "CD"}}) {
        const CliRun r = Run(args);
        EXPECT_EQ(r.exitCode, 1) << args[1];
        EXPECT_THAT(r.err, HasSubstr("You don't have any list!!"));
    }
    EXPECT_FALSE(fs::exists(DefaultList()));
    EXPECT_EQ(Run({"catalogue"}).exitCode, 2);
}

TEST_F(CatalogueCli, ExportImportAndRenameGoThroughTheListFile) {
    WriteList({"\\Mp3 List", "\\Disc 1", "a.mp3", "/Music", "/Sub", "b, \"x\".mp3", "..", "c.mp3",
               "..", "\\Caf\xE9", "z.mp3"});
    const CliRun csv = Run({"catalogue", "export", "--format", "csv"});
    EXPECT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out,
              "cd,folder,title\r\nDisc 1,,a.mp3\r\nDisc 1,Music/Sub,\"b, \"\"x\"\".mp3\"\r\n"
              "Disc 1,Music,c.mp3\r\nCaf\xC3\xA9,,z.mp3\r\n");
    const CliRun json = Run({"catalogue", "export", "--format", "json"});
    EXPECT_THAT(json.out, HasSubstr("{\"cd\": \"Disc 1\", \"folder\": \"Music/Sub\", \"title\": "
                                    "\"b, \\\"x\\\".mp3\"}"));

    const std::string paths = tree_.File("in.csv", "path\r\n\"Live, 2/a_b.mp3\"\r\ntop.mp3\r\n");
    const CliRun imported = Run({"catalogue", "import", paths, "--name", "New"});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_THAT(imported.err, HasSubstr("Saved \"New\" with 2 titles"));
    const Lines withNew = ReadList();
    EXPECT_EQ(Lines(withNew.end() - 6, withNew.end()),
              (Lines{"z.mp3", "\\New", "top.mp3", "/Live, 2", "a b.mp3", ".."}));
    for (const auto& [args, message] : std::vector<std::pair<Lines, std::string>>{
             {{"catalogue", "import", paths, "--name", "disc 1"}, "already in the list"},
             {{"catalogue", "import", paths, "--name", "A/B"}, "cannot hold \\ or /"},
             {{"catalogue", "import", tree_.Path("absent.csv"), "--name", "X"}, "No such file"},
             {{"catalogue", "rename", "new", "DISC 1"}, "already in the list"},
             {{"catalogue", "rename", "nope", "Other"}, "There is no CD named"}}) {
        const CliRun refused = Run(args);
        EXPECT_NE(refused.exitCode, 0);
        EXPECT_THAT(refused.err, HasSubstr(message));
        EXPECT_EQ(ReadList(), withNew);
    }

    const CliRun renamed = Run({"catalogue", "rename", "new", "Newer"});
    EXPECT_EQ(renamed.exitCode, 0) << renamed.err;
    Lines expected = withNew;
    expected[expected.size() - 5] = "\\Newer";
    EXPECT_EQ(ReadList(), expected);
}

}  // namespace
}  // namespace mv
