#include "filetools/windows/rename_commands.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <algorithm>
#include <filesystem>

#include "rename_fixture.h"

namespace mv {

namespace {

namespace fs = std::filesystem;
using mv::test::TagBlock;

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class RenameCommandsTest : public mv::test::RenameFixture {
  protected:
    void SetUp() override {
        if (!mv::test::ToneAudio()) GTEST_SKIP() << "lame or sox missing: no MP3 to rename";
        MakeCommands("mP3");
    }
    void Mp3(const std::string& rel, const std::optional<std::string>& tag) {
        ASSERT_TRUE(mv::test::WriteMp3(tree.Path(rel), tag));
    }
    std::vector<std::string> Names(const std::string& rel) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(tree.Path(rel))) {
            if (!e.is_directory()) names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RenameCommandsTest, RenameAsksForTheModelAndKeepsItForTheRun) {
    Mp3("music/a.mp3", TagBlock("Title", "Artist"));
    Mp3("music/b.mp3", TagBlock("Other", "Band"));

    // No file selected: no question, only the purge.
    commands->bRenameClick();
    EXPECT_TRUE(dialogs.History().empty());
    EXPECT_EQ(events, std::vector<std::string>{"purge"});

    selected = tree.Path("music/a.mp3");
    dialogs.QueueText(U("%2 - %1"));
    commands->bRenameClick();
    ASSERT_EQ(dialogs.History().size(), 1u);
    EXPECT_EQ(dialogs.History()[0].caption, U("Naming model"));
    EXPECT_EQ(dialogs.History()[0].text, U("What will be your naming model?"));
    EXPECT_EQ(dialogs.History()[0].initial, U("%2 - %1"));
    EXPECT_EQ(Names("music"), (std::vector<std::string>{"Artist - Title", "b.mp3"}));

    // A typed model, with a character of its own, is shown again next time.
    selected = tree.Path("music/b.mp3");
    dialogs.QueueText(U("%1 \xE2\x80\x93 %2.mp3"));
    commands->bRenameClick();
    EXPECT_EQ(Names("music"),
              (std::vector<std::string>{"Artist - Title", "Other \xE2\x80\x93 Band.mp3"}));
    dialogs.QueueText(std::nullopt);
    commands->bRenameClick();
    EXPECT_EQ(dialogs.History().back().initial, U("%1 \xE2\x80\x93 %2.mp3"));
    EXPECT_EQ(commands->NamingModel(), "%1 \xE2\x80\x93 %2.mp3");
    EXPECT_EQ(events, std::vector<std::string>(4, "purge"));
}

// Yes: the browser moves to each folder CollectFolders gives, in its order,
// every listed file gets the model plus ".Mp3", and the purge comes last.
TEST_F(RenameCommandsTest, RenameAllWithSubfoldersOpensEachFolderInTurn) {
    Mp3("music/a.mp3", TagBlock("Title", "Artist"));
    Mp3("music/b.MP3", TagBlock("Title", "Artist", "", "", "", ' '));
    Mp3("music/c.mp3", TagBlock());
    Mp3("music/d.mp3", TagBlock());
    Mp3("music/Sub/e.mp3", TagBlock("Deep"));
    Mp3("music/Sub/Deeper/f.mp3", std::nullopt);
    Mp3("music/NoMp3/g.wav", TagBlock("Wav"));
    dialogs.QueueText(U("%2 - %1"));
    dialogs.QueueReply(true);
    commands->bRenameAllClick();
    EXPECT_EQ(dialogs.History()[1].text,
              U("Do you wish to include sub directories in your selection?"));
    EXPECT_EQ(events, (std::vector<std::string>{"open " + tree.Path("music"),
                                                "open " + tree.Path("music/Sub"),
                                                "open " + tree.Path("music/Sub/Deeper"), "purge"}));
    EXPECT_EQ(folder, tree.Path("music/Sub/Deeper"));  // the browser stays on the last one
    EXPECT_EQ(Names("music"), (std::vector<std::string>{" - .Mp3", "Artist - Title .Mp3",
                                                        "Artist - Title.Mp3", "d.mp3"}));
    EXPECT_EQ(Names("music/Sub"), std::vector<std::string>{" - Deep.Mp3"});
    EXPECT_EQ(Names("music/Sub/Deeper"), std::vector<std::string>{"f.mp3"});
    EXPECT_EQ(Names("music/NoMp3"), std::vector<std::string>{"g.wav"});
    ASSERT_EQ(commands->LastOutcomes().size(), 6u);
    EXPECT_EQ(commands->LastOutcomes()[3].status, mv::RenameStatus::NameTaken);
    EXPECT_EQ(commands->LastOutcomes()[5].status, mv::RenameStatus::NoTag);
}

TEST_F(RenameCommandsTest, RenameAllWithoutSubfoldersOrCancelled) {
    Mp3("music/a.mp3", TagBlock("One"));
    Mp3("music/Sub/b.mp3", TagBlock("Two"));
    // Cancel: no second question, only the purge.
    dialogs.QueueText(std::nullopt);
    commands->bRenameAllClick();
    EXPECT_EQ(dialogs.History().size(), 1u);
    EXPECT_EQ(events, std::vector<std::string>{"purge"});

    events.clear();
    dialogs.QueueText(U("%1"));
    dialogs.QueueReply(false);
    commands->bRenameAllClick();
    EXPECT_EQ(events, (std::vector<std::string>{"open " + tree.Path("music"), "purge"}));
    EXPECT_EQ(Names("music"), std::vector<std::string>{"One.Mp3"});
    EXPECT_EQ(Names("music/Sub"), std::vector<std::string>{"b.mp3"});
}

// Rename All ends with one message: the count, then the files kept with
// their reasons as the tool words them, the first 15 and a count of the rest.
TEST_F(RenameCommandsTest, RenameAllEndsWithTheCountAndTheFilesKept) {
    for (int k = 0; k < 20; ++k) Mp3("music/f" + std::to_string(k + 10) + ".mp3", TagBlock());
    Mp3("music/x.mp3", TagBlock("X"));
    Mp3("music/y.mp3", TagBlock("Y"));
    dialogs.QueueText(U("%1"));
    dialogs.QueueReply(false);
    commands->bRenameAllClick();
    ASSERT_EQ(dialogs.History().size(), 3u);
    const QStringList lines = dialogs.History()[2].text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines[0], U("2 files renamed."));
    EXPECT_EQ(lines[1], QString());
    for (int k = 2; k < 17; ++k) {
        // An empty title gives ".Mp3": a hidden file, so it is refused.
        EXPECT_TRUE(lines[k].startsWith(QString::fromStdString(tree.Path("music/f")))) << k;
        EXPECT_TRUE(
            lines[k].endsWith(U(".mp3: keeps its name: the name \".Mp3\" starts with "
                                "\".\", which would hide the file.")))
            << lines[k].toStdString();
    }
    EXPECT_EQ(lines[17], U("... and 5 more."));
    EXPECT_EQ(Names("music").size(), 22u);
    EXPECT_TRUE(fs::exists(tree.Path("music/X.Mp3")) && fs::exists(tree.Path("music/Y.Mp3")));

    // Nothing kept: the count alone.
    dialogs.ClearHistory();
    dialogs.QueueText(U("%1 again"));
    dialogs.QueueReply(false);
    fs::remove_all(tree.Path("music"));
    Mp3("music/z.mp3", TagBlock("Z"));
    commands->bRenameAllClick();
    ASSERT_EQ(dialogs.History().size(), 3u);
    EXPECT_EQ(dialogs.History()[2].text, U("1 file renamed."));

    // A name in Windows-1252 beside one in UTF-8: each line reads right.
    dialogs.ClearHistory();
    dialogs.QueueText(U("%1"));
    dialogs.QueueReply(false);
    Mp3("music/caf\xE9.mp3", std::nullopt);
    Mp3("music/\xC3\x9C.mp3", std::nullopt);
    commands->bRenameAllClick();
    ASSERT_EQ(dialogs.History().size(), 3u);
    const QString text = dialogs.History()[2].text;
    const QString folderText = QString::fromStdString(tree.Path("music/"));
    EXPECT_TRUE(text.contains(folderText + U("caf\xC3\xA9.mp3: keeps its name")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(folderText + U("\xC3\x9C.mp3: keeps its name")))
        << text.toStdString();
}

}  // namespace

}  // namespace mv
