// The equalizer window: the record sent for the worked examples, the switch,
// and the stored state restored at start.
#include "player/windows/tf_eq.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSlider>

#include "player_widgets.h"

namespace mv {

namespace {

using ::testing::ElementsAre;
using namespace playertest;

class TfEQTest : public ::testing::Test {
  protected:
    TfEQTest() {
        mv::test::TestApplication();
        eq.SetPlayer(&player);
    }
    // Band values of the last record, first set then second.
    const std::vector<int>& Last() const { return player.records.back(); }

    RecordingPlayer player;
    TfEQ eq;
};

TEST_F(TfEQTest, ControlsStandAtTheirPlacesWithTheTopEndAtMinus80) {
    EXPECT_EQ(eq.windowTitle(), Q("Equalizer"));
    EXPECT_EQ(eq.cbEq->geometry(), QRect(16, 5, 123, 17));
    EXPECT_EQ(eq.cbEq->text(), Q("Enable Equalizer"));
    const int lefts[] = {2, 48, 95, 141, 188, 234, 281, 327};
    for (int k = 0; k < 8; ++k) {
        QSlider* bar = eq.TrackBars[static_cast<size_t>(k)];
        EXPECT_EQ(bar->objectName(), QStringLiteral("TrackBar0%1").arg(k + 1));
        EXPECT_EQ(bar->geometry(), QRect(lefts[k], 24, 45, 120));
        EXPECT_EQ(bar->minimum(), -80);
        EXPECT_EQ(bar->maximum(), 80);
        EXPECT_EQ(bar->pageStep(), 10);
        EXPECT_TRUE(bar->invertedAppearance());  // the minimum drawn at the top
    }
}

TEST_F(TfEQTest, EveryChangeSendsTheWholeRecordWhileSwitchedOn) {
    eq.TrackBars[0]->setValue(10);  // off: the request without a record
    EXPECT_THAT(player.sent, ElementsAre("Equalizer off"));

    player.sent.clear();
    eq.cbEq->click();
    EXPECT_THAT(player.sent, ElementsAre("Equalizer on", "AskEqualizer"));
    std::vector<int> expected(64, 0);
    expected[0] = expected[32] = -10;
    EXPECT_EQ(Last(), expected);

    eq.TrackBars[0]->setValue(0);
    EXPECT_EQ(Last(), std::vector<int>(64, 0));  // all at 0: 64 zero bytes, not "off"

    eq.TrackBars[7]->setValue(-80);
    for (int b = 0; b < 64; ++b) EXPECT_EQ(Last()[static_cast<size_t>(b)], b % 32 >= 20 ? 80 : 0);
    eq.TrackBars[7]->setValue(0);
    eq.TrackBars[2]->setValue(40);
    for (int b = 0; b < 64; ++b) {
        EXPECT_EQ(Last()[static_cast<size_t>(b)], (b % 32 == 2 || b % 32 == 3) ? -40 : 0) << b;
    }

    player.sent.clear();
    eq.cbEq->click();
    eq.TrackBars[4]->setValue(-20);
    EXPECT_THAT(player.sent, ElementsAre("Equalizer off", "Equalizer off"));
    EXPECT_EQ(eq.Bars()[4], -20);  // still kept for the settings
    EXPECT_FALSE(eq.Enabled());
}

TEST_F(TfEQTest, RestoreBringsStoredValuesWithinRangeAndSendsThem) {
    eq.Restore(true, {0, 0, 0, 0, 500, 0, 0, -300});
    EXPECT_TRUE(eq.Enabled());
    EXPECT_EQ(eq.Bars(), (mv::EqualizerBars{0, 0, 0, 0, 80, 0, 0, -80}));
    for (int b = 0; b < 64; ++b) {
        const int band = b % 32;
        EXPECT_EQ(Last()[static_cast<size_t>(b)], band == 6 || band == 7 ? -80
                                                  : band >= 20           ? 80
                                                                         : 0);
    }
}

TEST_F(TfEQTest, AFailingPlayerKeepsTheControlsAndIsReportedOnlyAfterAUserChange) {
    player.failing = true;
    std::vector<std::string> reported;
    eq.reportError = [&](const std::string& what) { reported.push_back(what); };
    // At start the missing engine was reported already: nothing more.
    EXPECT_NO_THROW(eq.Restore(true, {10, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(reported.empty());
    EXPECT_TRUE(eq.Enabled());
    EXPECT_EQ(eq.Bars()[0], 10);

    eq.TrackBars[1]->setValue(30);
    EXPECT_EQ(eq.Bars()[1], 30);
    EXPECT_THAT(reported, ElementsAre("Cannot Load Xaudio DLL (xaudio)"));
}

}  // namespace

}  // namespace mv
