#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/equalizer_bars.h"

// The equalizer window's presets: the built-in ones and the user's own, which
// the settings keep one a key ("NAME=B1,...,B8") in a section of their own.
namespace mv {

struct EqualizerPreset {
    std::string name;
    EqualizerBars bars{};
    bool operator==(const EqualizerPreset&) const = default;
};

// Flat, Rock, Pop, Classical, Jazz, Dance, Bass boost, Treble boost, Vocal.
const std::vector<EqualizerPreset>& BuiltInEqualizerPresets();

// "B1,...,B8" and back; nullopt unless there are exactly eight whole numbers,
// each brought within -80..80.
std::string FormatPresetBars(const EqualizerBars& bars);
std::optional<EqualizerBars> ParsePresetBars(std::string_view text);

// Why `name` cannot name a user preset, empty when it can: empty or with
// spaces at either end, holding '=', a line break or another control byte, or
// starting with '[' or ';' (it is a key of the settings file), or the name of
// a built-in preset (letter case ignored).
std::string PresetNameProblem(std::string_view name);

// Saves under `name`: replaces the user preset of that name (letter case
// ignored) in its place, else appends it. The name must have no problem.
void SaveUserPreset(std::vector<EqualizerPreset>& presets, const EqualizerPreset& preset);
// False when there is no user preset of that name.
bool DeleteUserPreset(std::vector<EqualizerPreset>& presets, std::string_view name);

}  // namespace mv
