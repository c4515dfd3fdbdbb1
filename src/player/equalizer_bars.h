#pragma once

#include <array>

// The equalizer window's eight sliders, as the settings keep them and the
// player sends them; the top end of a slider is -80.
namespace mv {

inline constexpr int kEqualizerBars = 8;
inline constexpr int kEqualizerBarMin = -80;  // a vertical slider's top end
inline constexpr int kEqualizerBarMax = 80;

using EqualizerBars = std::array<int, kEqualizerBars>;

}  // namespace mv
