#include "player/equalizer_presets.h"

#include <algorithm>
#include <charconv>

#include "platform/ascii_case.h"
#include "player/equalizer_record.h"

namespace mv {

const std::vector<EqualizerPreset>& BuiltInEqualizerPresets() {
    // Bars from the lowest band to the highest; 80 is +12 dB.
    static const std::vector<EqualizerPreset> presets{
        {"Flat", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"Rock", {40, 25, -10, -20, -5, 20, 35, 40}},
        {"Pop", {-10, 15, 30, 35, 25, 5, -10, -15}},
        {"Classical", {25, 15, 0, -5, -5, 0, 15, 25}},
        {"Jazz", {25, 15, 5, 15, -10, -10, 0, 15}},
        {"Dance", {55, 40, 10, 0, 0, -20, -25, -5}},
        {"Bass boost", {60, 45, 25, 5, 0, 0, 0, 0}},
        {"Treble boost", {0, 0, 0, 0, 5, 25, 45, 60}},
        {"Vocal", {-20, -10, 10, 35, 35, 20, 0, -15}},
    };
    return presets;
}

std::string FormatPresetBars(const EqualizerBars& bars) {
    std::string text;
    for (size_t k = 0; k < bars.size(); ++k) {
        if (k > 0) text += ',';
        text += std::to_string(bars[k]);
    }
    return text;
}

std::optional<EqualizerBars> ParsePresetBars(std::string_view text) {
    EqualizerBars bars{};
    size_t start = 0;
    for (size_t k = 0; k < bars.size(); ++k) {
        const size_t comma = text.find(',', start);
        if ((comma == std::string_view::npos) != (k + 1 == bars.size())) return std::nullopt;
        std::string_view field = text.substr(start, comma - start);
        while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
        while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
        int value = 0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (ec != std::errc() || end != field.data() + field.size() || field.empty()) {
            return std::nullopt;
        }
        bars[k] = ClampEqualizerBar(value);
        start = comma + 1;
    }
    return bars;
}

std::string PresetNameProblem(std::string_view name) {
    if (name.empty()) return "A preset needs a name.";
    if (name.front() == ' ' || name.back() == ' ') {
        return "A preset's name cannot start or end with a space.";
    }
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (control || name.find('=') != std::string_view::npos || name.front() == '[' ||
        name.front() == ';') {
        return "A preset's name cannot hold '=' or a control character, nor start with '[' or "
               "';'.";
    }
    for (const EqualizerPreset& preset : BuiltInEqualizerPresets()) {
        if (EqualsIgnoringAsciiCase(preset.name, name)) {
            return "\"" + preset.name + "\" is a built-in preset; choose another name.";
        }
    }
    return {};
}

void SaveUserPreset(std::vector<EqualizerPreset>& presets, const EqualizerPreset& preset) {
    for (EqualizerPreset& kept : presets) {
        if (EqualsIgnoringAsciiCase(kept.name, preset.name)) {
            kept = preset;
            return;
        }
    }
    presets.push_back(preset);
}

bool DeleteUserPreset(std::vector<EqualizerPreset>& presets, std::string_view name) {
    const auto it = std::find_if(presets.begin(), presets.end(), [&](const EqualizerPreset& p) {
        return EqualsIgnoringAsciiCase(p.name, name);
    });
    if (it == presets.end()) return false;
    presets.erase(it);
    return true;
}

}  // namespace mv
