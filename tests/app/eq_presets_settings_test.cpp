// The user's equalizer presets in Mp3Vandrel.ini: read leniently from a
// hand-written section, written after EQUALIZER and before the sections of
// other programs, and the same after a round trip.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings.h"
#include "platform/text_lines.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

TEST(EqPresetSettings, ReadLenientlyWrittenAfterTheEqualizerAndKeptOnARoundTrip) {
    const test::TempTree tree;
    const std::filesystem::path ini = tree.Path(kSettingsFileName);
    ASSERT_EQ(WriteLinesAtomically(ini, {"[POLL]", "Voted=3", "[eqpresets]", "; mine",
                                         "Late night = -10,0,0,5,5,0,0,900", "Broken=1,2,3",
                                         "LATE NIGHT=1,1,1,1,1,1,1,1", "Bright=0,0,0,0,0,9,9,9",
                                         "[EQUALIZER]", "Enabled=1"}),
              "");
    const Settings read = ReadSettings(ini).settings;
    // The later "LATE NIGHT" takes the first one's place; a value of three bars is dropped.
    EXPECT_EQ(read.eqPresets,
              (std::vector<EqualizerPreset>{{"LATE NIGHT", {1, 1, 1, 1, 1, 1, 1, 1}},
                                            {"Bright", {0, 0, 0, 0, 0, 9, 9, 9}}}));

    ASSERT_EQ(WriteSettings(ini, read), "");
    const auto lines = *ReadLines(ini);
    const auto at = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    // A blank line stands between sections.
    EXPECT_EQ(at("[EQPRESETS]"), at("Bar08=0") + 2);
    EXPECT_EQ(at("LATE NIGHT=1,1,1,1,1,1,1,1"), at("[EQPRESETS]") + 1);
    EXPECT_EQ(at("Bright=0,0,0,0,0,9,9,9"), at("[EQPRESETS]") + 2);
    EXPECT_EQ(at("[POLL]"), at("[EQPRESETS]") + 4);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[EQPRESETS]"), 1);
    EXPECT_EQ(ReadSettings(ini).settings.eqPresets, read.eqPresets);

    // No presets: no section.
    Settings none = read;
    none.eqPresets.clear();
    ASSERT_EQ(WriteSettings(ini, none), "");
    const auto after = *ReadLines(ini);
    EXPECT_EQ(std::find(after.begin(), after.end(), "[EQPRESETS]"), after.end());
}

}  // namespace
}  // namespace mv
