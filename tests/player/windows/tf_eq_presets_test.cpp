// The equalizer's presets: the box applies a preset in one send, a slider
// moved by hand leaves the preset, the user's presets are saved, refused and
// deleted through the dialogs, and the text form the settings keep.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSlider>

#include "player/windows/tf_eq.h"
#include "player_widgets.h"
#include "support/widgets/scripted_dialogs.h"

namespace mv {
namespace {

using namespace playertest;

class TfEQPresetsTest : public ::testing::Test {
  protected:
    TfEQPresetsTest() {
        mv::test::TestApplication();
        eq.SetPlayer(&player);
        eq.SetDialogs(&dialogs);
        eq.cbEq->click();
        player.sent.clear();
    }
    QStringList Rows() const {
        QStringList rows;
        for (int i = 0; i < eq.cbPreset->count(); ++i) rows << eq.cbPreset->itemText(i);
        return rows;
    }

    RecordingPlayer player;
    ScriptedDialogs dialogs;
    TfEQ eq;
};

TEST_F(TfEQPresetsTest, APresetIsSentOnceAndAHandMovedSliderLeavesIt) {
    const QStringList builtIn{Q("Flat"),       Q("Rock"),         Q("Pop"),
                              Q("Classical"),  Q("Jazz"),         Q("Dance"),
                              Q("Bass boost"), Q("Treble boost"), Q("Vocal")};
    EXPECT_EQ(Rows(), builtIn);
    const int rock = eq.cbPreset->findText(Q("Rock"));
    eq.cbPresetActivated(rock);
    EXPECT_EQ(eq.Bars(), BuiltInEqualizerPresets()[1].bars);
    EXPECT_EQ(player.sent, (std::vector<std::string>{"Equalizer on", "AskEqualizer"}));
    EXPECT_EQ(eq.cbPreset->currentText(), Q("Rock"));

    eq.TrackBars[3]->setValue(70);
    EXPECT_EQ(eq.cbPreset->currentIndex(), -1);
    EXPECT_EQ(eq.Bars()[3], 70);

    player.sent.clear();
    eq.bReset->click();
    EXPECT_EQ(eq.Bars(), EqualizerBars{});
    EXPECT_EQ(player.sent.size(), 2u);
    EXPECT_EQ(player.records.back(), std::vector<int>(64, 0));
}

TEST_F(TfEQPresetsTest, UserPresetsAreSavedRefusedAndDeletedThroughTheDialogs) {
    eq.SetUserPresets({{"Mine", {1, 2, 3, 4, 5, 6, 7, 8}}, {"bad=name", {}}});
    EXPECT_EQ(eq.UserPresets().size(), 1u);  // a name no box could save stays out
    eq.TrackBars[0]->setValue(-30);

    dialogs.QueueText(Q("rock"));  // a built-in name, in other case
    eq.bSavePreset->click();
    EXPECT_EQ(dialogs.Texts().back().toStdString(),
              "\"Rock\" is a built-in preset; choose another name.");
    dialogs.QueueText(Q("MINE"));  // the same user preset: saved over in its place
    eq.bSavePreset->click();
    ASSERT_EQ(eq.UserPresets().size(), 1u);
    EXPECT_EQ(eq.UserPresets()[0].name, "MINE");
    EXPECT_EQ(eq.UserPresets()[0].bars, eq.Bars());
    EXPECT_EQ(eq.cbPreset->currentText(), Q("MINE"));
    dialogs.QueueText(Q("Late night"));
    eq.bSavePreset->click();
    EXPECT_EQ(Rows().mid(9), (QStringList{Q("MINE"), Q("Late night")}));

    // Delete asks, and only for the user's own.
    eq.cbPresetActivated(eq.cbPreset->findText(Q("Jazz")));
    eq.bDeletePreset->click();
    EXPECT_EQ(dialogs.Pending(), 0u);
    eq.cbPresetActivated(eq.cbPreset->findText(Q("MINE")));
    dialogs.QueueReply(false);
    eq.bDeletePreset->click();
    EXPECT_EQ(eq.UserPresets().size(), 2u);
    dialogs.QueueReply(true);
    eq.bDeletePreset->click();
    ASSERT_EQ(eq.UserPresets().size(), 1u);
    EXPECT_EQ(eq.UserPresets()[0].name, "Late night");
    EXPECT_EQ(eq.cbPreset->count(), 10);
}

TEST(EqualizerPresets, TheTextFormAndTheNamesASettingsKeyCanHold) {
    EXPECT_EQ(FormatPresetBars({-80, 0, 5, 80, -1, 2, 3, 4}), "-80,0,5,80,-1,2,3,4");
    EXPECT_EQ(ParsePresetBars("-80,0,5,80,-1,2,3,4"), (EqualizerBars{-80, 0, 5, 80, -1, 2, 3, 4}));
    EXPECT_EQ(ParsePresetBars(" 1, 2,3 ,4,5,6,7,900"), (EqualizerBars{1, 2, 3, 4, 5, 6, 7, 80}));
    for (const char* bad : {"", "1,2,3,4,5,6,7", "1,2,3,4,5,6,7,8,9", "1,2,3,4,5,6,7,x",
                            "1,,3,4,5,6,7,8", "1,2,3,4,5,6,7,8,", "1.5,2,3,4,5,6,7,8"}) {
        EXPECT_FALSE(ParsePresetBars(bad)) << bad;
    }
    for (const char* ok : {"Mine", "Late night", "Ü-Bass", "a]b", "x;y"}) {
        EXPECT_EQ(PresetNameProblem(ok), "") << ok;
    }
    for (const char* bad : {"", " lead", "trail ", "a=b", "[x", ";x", "tab\there", "line\nbreak",
                            "FLAT", "bass BOOST"}) {
        EXPECT_NE(PresetNameProblem(bad), "") << bad;
    }
}

}  // namespace
}  // namespace mv
