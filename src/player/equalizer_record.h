#pragma once

#include <array>
#include <cstdint>

#include "engine/xaudio_engine.h"
#include "player/equalizer_bars.h"

// The equalizer window's eight sliders spread over the engine's 32 bands.
namespace mv {

struct BandSpan {
    int first;
    int count;
};

// Slider k covers bands first .. first + count - 1 of each band set.
inline constexpr std::array<BandSpan, kEqualizerBars> kEqualizerSpans = {
    {{0, 1}, {1, 1}, {2, 2}, {4, 2}, {6, 2}, {8, 6}, {14, 6}, {20, 12}}};

// A stored position outside the slider brought to the nearer end.
int ClampEqualizerBar(int position);

// The record sent with the switch on: every band of a slider holds the
// negated position (the top end boosts), and both band sets are equal.
XA_EqualizerInfo BuildEqualizerRecord(const EqualizerBars& bars);

}  // namespace mv
