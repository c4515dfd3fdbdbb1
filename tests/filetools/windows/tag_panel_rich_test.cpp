// The tag panel's line for the tag beyond ID3v1, Copy to ID3v1 and Save with
// "Also write ID3v2 when saving", on files tagged by a second writer.
#include <gtest/gtest.h>

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "filetools/id3v1_tag.h"
#include "filetools/windows/rich_tag_line.h"
#include "filetools/windows/tag_panel_handlers.h"
#include "mutagen_files.h"
#include "panel_widgets.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"

namespace mv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class TagPanelRich : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!mv::test::MutagenPresent()) GTEST_SKIP() << "sox, lame or python3-mutagen missing";
        w = mv::test::MakePanelWidgets(window, true);
        window.show();
        panel = std::make_unique<TagPanelHandlers>(w, dialogs);
    }
    std::string Tagged(const std::string& name, const std::string& kind) {
        const std::string path = tree.Path(name);
        EXPECT_TRUE(mv::test::WriteTaggedMp3(path, kind));
        return path;
    }
    QStringList Boxes() const { return mv::test::PanelBoxes(w); }

    mv::test::TempTree tree;
    QWidget window;
    TagPanelWidgets w;
    ScriptedDialogs dialogs;
    std::unique_ptr<TagPanelHandlers> panel;
};

TEST_F(TagPanelRich, TheLineShowsTheTagBeyondId3v1AndCopyFillsTheBoxes) {
    struct Case {
        const char* kind;
        const char* line;  // UTF-8
    } cases[] = {
        {"v23", "ID3v2: Caf\xC3\xA9 Title / The Artist / Old Album / 1999 / track 3/12 / Rock"},
        {"ape", "APE: Ape Title / Ape Artist / Ape Album / 1987 / track 5 / Pop"},
    };
    for (const Case& c : cases) {
        panel->ReadTag(Tagged(std::string(c.kind) + ".mp3", c.kind));
        EXPECT_EQ(w.lRichTag->text(), U(c.line)) << c.kind;
        EXPECT_TRUE(w.bCopyToId3v1->isEnabled()) << c.kind;
    }
    // Copy takes the four fields of the tag shown; the comment box is the user's.
    w.eComment->setText(U("mine"));
    w.bCopyToId3v1->click();
    EXPECT_EQ(Boxes(),
              (QStringList{U("Ape Title"), U("Ape Artist"), U("Ape Album"), U("1987"), U("mine")}));

    // A file with no tag beyond ID3v1: an empty line, nothing to copy.
    ASSERT_TRUE(mv::test::WriteMp3(tree.Path("plain.mp3"), mv::test::TagBlock("T", "A")));
    panel->ReadTag(tree.Path("plain.mp3"));
    EXPECT_TRUE(w.lRichTag->text().isEmpty());
    EXPECT_FALSE(w.bCopyToId3v1->isEnabled());
    EXPECT_TRUE(dialogs.Texts().isEmpty());
}

TEST_F(TagPanelRich, CopyRefusesATitleId3v1CannotHoldAndLeavesTheBoxes) {
    panel->ReadTag(Tagged("cyr.mp3", "v24utf8"));
    w.eTitle->setText(U("typed"));
    const QStringList before = Boxes();
    w.bCopyToId3v1->click();
    EXPECT_EQ(Boxes(), before);
    ASSERT_EQ(dialogs.Texts().size(), 1);
    // The title starts with U+041F, the first character Windows-1252 lacks.
    EXPECT_TRUE(dialogs.Texts()[0].startsWith(U("The Title cannot take the character")));
    EXPECT_TRUE(dialogs.Texts()[0].contains(U("U+041F"))) << dialogs.Texts()[0].toStdString();
}

// Save with the option writes the ID3v1 tag and, as a second reader sees it,
// the ID3v2 tag: an edited box replaces its field, an untouched one leaves
// the longer ID3v2 text alone. Without the option the ID3v2 tag stays as it was.
TEST_F(TagPanelRich, SaveWritesBothTagsOnlyWithTheOption) {
    const std::string off = Tagged("off.mp3", "v23");
    const auto before = mv::test::MutagenDump(off);
    panel->ReadTag(off);
    w.eArtist->setText(U("New Artist"));
    panel->bSaveTagClick();
    EXPECT_EQ(mv::test::MutagenDump(off), before);
    EXPECT_EQ(mv::ReadFileTag(off).fields[mv::kArtist].substr(0, 10), "New Artist");

    const std::string on = Tagged("on.mp3", "v23");
    w.tmiWriteId3v2->setChecked(true);
    panel->ReadTag(on);
    w.bCopyToId3v1->click();  // the ID3v2 year "1999" and the rest, cut to ID3v1's widths
    w.eArtist->setText(U("N\xC3\xA9w Artist"));
    w.eAlbum->setText(U("Album Two"));
    panel->bSaveTagClick();
    EXPECT_TRUE(dialogs.Texts().isEmpty()) << dialogs.Texts().join(U("\n")).toStdString();
    EXPECT_FALSE(w.pTag->isVisible());
    const auto after = mv::test::MutagenDump(on);
    EXPECT_EQ(after.at("text:TPE1"), "N\xC3\xA9w Artist");
    EXPECT_EQ(after.at("text:TALB"), "Album Two");
    EXPECT_EQ(after.at("text:TIT2"), "Caf\xC3\xA9 Title");
    EXPECT_EQ(after.at("text:TRCK"), "3/12");
    EXPECT_EQ(after.at("text:TCON"), "Rock");
    EXPECT_EQ(after.count("text:COMM"), 1u);  // frames the panel does not show are kept
    const mv::TagReadResult v1 = mv::ReadFileTag(on);
    EXPECT_EQ(v1.fields[mv::kArtist].substr(0, 10), "N\xE9w Artist");
    EXPECT_EQ(v1.fields[mv::kTitle].substr(0, 10), "Caf\xE9 Title");
}

// Copy to ID3v1 cuts a long title to 30 bytes; saving that copy must not
// cut the ID3v2 title too.
TEST_F(TagPanelRich, SavingACopiedTitleKeepsTheLongId3v2Title) {
    const std::string path = Tagged("long.mp3", "v23");
    const std::string title = "A Rather Long Song Title That Goes On";
    mv::RichTag tag = mv::ReadRichTag(path).tag;
    tag.title = title;
    ASSERT_TRUE(mv::WriteRichTag(path, tag).ok);
    w.tmiWriteId3v2->setChecked(true);
    panel->ReadTag(path);
    w.bCopyToId3v1->click();
    EXPECT_EQ(w.eTitle->text(), U(title.substr(0, 30).c_str()));
    panel->bSaveTagClick();
    EXPECT_EQ(mv::test::MutagenDump(path).at("text:TIT2"), title);
    EXPECT_EQ(mv::ReadFileTag(path).fields[mv::kTitle], title.substr(0, 30));
}

// Which text each ID3v2 field gets on Save: a plain model of the rule.
TEST(RichTagForSave, AnUntouchedBoxNeverCutsTheId3v2Text) {
    const std::string longTitle(45, 'x');
    const mv::RichTag read{longTitle, "Artist", "", "1999-05-01", "3/12", "Rock", "c"};
    const std::array<std::string, mv::kTagFieldCount> boxes = {std::string(30, 'x'), "Edited",
                                                               "Album   ", "1999", "comment"};
    struct Case {
        std::array<bool, mv::kTagFieldCount> changed;
        mv::RichTag want;
    } cases[] = {
        // Untouched: the ID3v2 texts stay whole; an empty one takes the box, blanks cut.
        {{false, false, false, false, false},
         {longTitle, "Artist", "Album", "1999-05-01", "3/12", "Rock", "c"}},
        {{true, true, true, true, true},
         {boxes[0], "Edited", "Album", "1999", "3/12", "Rock", "c"}},
    };
    for (const Case& c : cases) EXPECT_EQ(mv::RichTagForSave(read, boxes, c.changed), c.want);
}

}  // namespace

}  // namespace mv
