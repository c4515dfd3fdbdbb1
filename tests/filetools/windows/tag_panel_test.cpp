#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "filetools/windows/tag_panel_handlers.h"
#include "panel_widgets.h"
#include "support/core/tag_fixture.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"

namespace mv {

namespace {

namespace fs = std::filesystem;
using mv::test::FileBytes;
using mv::test::TagBlock;

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The panel's widgets as the main window lays them out, on a window of their own.
class TagPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!mv::test::ToneAudio()) GTEST_SKIP() << "lame or sox missing: no MP3 to tag";
        audio = *mv::test::ToneAudio();
        w = mv::test::MakePanelWidgets(window, false);
        w.pTag->hide();
        window.show();
        panel = std::make_unique<TagPanelHandlers>(w, dialogs);
    }
    std::string Mp3(const std::string& name, const std::optional<std::string>& tag) {
        const std::string path = tree.Path(name);
        EXPECT_TRUE(mv::test::WriteMp3(path, tag));
        return path;
    }
    QStringList Boxes() const { return mv::test::PanelBoxes(w); }

    mv::test::TempTree tree;
    std::string audio;
    QWidget window;
    TagPanelWidgets w;
    ScriptedDialogs dialogs;
    std::unique_ptr<TagPanelHandlers> panel;
};

TEST_F(TagPanelTest, ReadTagFillsTheBoxesAndShowsThePanel) {
    const std::string path =
        Mp3("a.mp3", TagBlock("Caf\xE9 \x80", "Band", "Album", "1999", "Note", ' ', 17));
    panel->ReadTag(path);
    EXPECT_TRUE(w.pTag->isVisible());
    EXPECT_EQ(panel->TagFile(), path);
    EXPECT_EQ(Boxes(), (QStringList{U("Caf\xC3\xA9 \xE2\x82\xAC") + QString(24, QLatin1Char(' ')),
                                    U("Band") + QString(26, QLatin1Char(' ')),
                                    U("Album") + QString(25, QLatin1Char(' ')), U("1999"),
                                    U("Note") + QString(26, QLatin1Char(' '))}));
    EXPECT_TRUE(dialogs.Texts().isEmpty());

    // A file without a tag: five empty boxes, so the user can give it one.
    const std::string plain = Mp3("plain.mp3", std::nullopt);
    panel->ReadTag(plain);
    EXPECT_EQ(Boxes(), QStringList(5));
    EXPECT_EQ(panel->TagFile(), plain);
}

// A file that cannot be read leaves the panel, its boxes and the tag file as
// they were.
TEST_F(TagPanelTest, AFileThatCannotBeReadChangesNothing) {
    const std::string path = Mp3("a.mp3", TagBlock("Kept"));
    for (const std::string& bad :
         {tree.File("short.mp3", "TAG"), tree.Path("missing.mp3"), tree.Folder("folder.mp3")}) {
        panel->ReadTag(bad);
        EXPECT_FALSE(w.pTag->isVisible());
        EXPECT_EQ(panel->TagFile(), "");
    }
    EXPECT_EQ(dialogs.Texts(), QStringList(3, U("Unable to open file")));
    panel->ReadTag(path);
    w.eTitle->setText(U("typed"));
    panel->ReadTag(tree.Path("missing.mp3"));
    EXPECT_TRUE(w.pTag->isVisible());
    EXPECT_EQ(panel->TagFile(), path);
    EXPECT_EQ(w.eTitle->text(), U("typed"));
}

TEST_F(TagPanelTest, SaveWritesTheBoxesAndHidesThePanel) {
    const std::string path = Mp3("a.mp3", TagBlock("Old", "Band", "", "", "", 0, 17));
    fs::permissions(path, fs::perms::owner_read);
    panel->ReadTag(path);
    w.eTitle->setText(U("Caf\xC3\xA9 \xE2\x82\xAC"));
    w.eYear->setText(U("2024"));
    w.bSaveTag->click();
    EXPECT_FALSE(w.pTag->isVisible());
    EXPECT_EQ(FileBytes(path), audio + TagBlock("Caf\xE9 \x80", "Band", "", "2024"));
    EXPECT_NE(fs::status(path).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_TRUE(dialogs.Texts().isEmpty());

    // Untagged: the tag is appended behind the audio.
    const std::string plain = Mp3("plain.mp3", std::nullopt);
    panel->ReadTag(plain);
    w.eArtist->setText(U("New"));
    w.bSaveTag->click();
    EXPECT_EQ(FileBytes(plain), audio + TagBlock("", "New"));
}

// A byte Windows-1252 leaves undefined shows as a replacement character that
// cannot be typed back; a box left as it was keeps its bytes.
TEST_F(TagPanelTest, BoxesLeftAsShownKeepTheirBytes) {
    const std::string path = Mp3("a.mp3", TagBlock("Odd \x81\x8D", "Band", "", "", "", 0, 17));
    panel->ReadTag(path);
    EXPECT_EQ(w.eTitle->text(), U("Odd \xEF\xBF\xBD\xEF\xBF\xBD"));
    w.eArtist->setText(U("Other"));
    w.bSaveTag->click();
    EXPECT_TRUE(dialogs.Texts().isEmpty());
    EXPECT_EQ(FileBytes(path), audio + TagBlock("Odd \x81\x8D", "Other"));
}

TEST_F(TagPanelTest, CancelLeavesTheFileAsItWas) {
    const std::string stored = TagBlock("Song", "Band", "", "", "", ' ', 17);
    const std::string path = Mp3("a.mp3", stored);
    panel->ReadTag(path);
    w.eTitle->setText(U("Changed"));
    w.bCancelTag->click();
    EXPECT_FALSE(w.pTag->isVisible());
    EXPECT_EQ(FileBytes(path), audio + stored);
}

// A character the tag cannot hold: a box says which, nothing is written and
// the panel stays with what the user typed.
TEST_F(TagPanelTest, ACharacterWindows1252HasNotIsRefusedBeforeWriting) {
    const std::string stored = TagBlock("Song");
    const std::string path = Mp3("a.mp3", stored);
    panel->ReadTag(path);
    w.eTitle->setText(U("ok \xE2\x82\xAC"));
    w.eComment->setText(U("\xE6\x97\xA5\xE6\x9C\xAC"));
    w.bSaveTag->click();
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_THAT(dialogs.Texts()[0].toStdString(),
                ::testing::AllOf(::testing::HasSubstr("Comment"), ::testing::HasSubstr("U+65E5"),
                                 ::testing::HasSubstr("Nothing was written")));
    EXPECT_TRUE(w.pTag->isVisible());
    EXPECT_EQ(FileBytes(path), audio + stored);
    EXPECT_EQ(w.eComment->text(), U("\xE6\x97\xA5\xE6\x9C\xAC"));
}

// Save that cannot write, for root too: the file gone or a folder in its
// place (it cannot be opened), and a write that fails once the file is open
// (a file that may not grow, as on a full disk). Each time a box gives the
// cause, the panel stays with the typed text, and no tag cut short is left
// behind the audio.
TEST_F(TagPanelTest, SaveFailuresAsTheUserMeetsThem) {
    const std::string gone = Mp3("gone.mp3", TagBlock("x"));
    const std::string folder = Mp3("folder.mp3", TagBlock("x"));
    for (const std::string& path : {gone, folder}) {
        panel->ReadTag(path);
        w.eTitle->setText(U("typed"));
        fs::remove(path);
        if (path == folder) fs::create_directory(path);
        w.bSaveTag->click();
        EXPECT_TRUE(w.pTag->isVisible()) << path;
        EXPECT_EQ(w.eTitle->text(), U("typed"));
        ASSERT_EQ(dialogs.Texts().size(), 1) << path;
        EXPECT_THAT(dialogs.Texts()[0].toStdString(),
                    ::testing::StartsWith("Unable to open file " + path + ": "));
        dialogs.ClearHistory();
    }
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::is_empty(folder));

    const std::string plain = Mp3("plain.mp3", std::nullopt);
    panel->ReadTag(plain);
    w.eTitle->setText(U("Too big"));
    // The process may not grow a file past its present size: the append fails.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old;
    limit.rlim_cur = static_cast<rlim_t>(fs::file_size(plain) + 64);  // half a tag fits
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    w.bSaveTag->click();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(dialogs.Texts(),
              QStringList{QString::fromStdString("Unable to write in the file " + plain + ": " +
                                                 std::strerror(EFBIG) +
                                                 ". The tag was not saved; the panel keeps your "
                                                 "text.")});
    EXPECT_TRUE(w.pTag->isVisible());
    EXPECT_EQ(w.eTitle->text(), U("Too big"));
    EXPECT_EQ(FileBytes(plain), audio);
}

}  // namespace

}  // namespace mv
