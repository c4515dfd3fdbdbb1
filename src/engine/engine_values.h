// How the engine turns the numbers of its commands into sound settings. The
// curves are documented for callers in xaudio_engine.h.
#pragma once

#include <cstdint>

namespace mv {

// Software gain of a volume value 0..100: (v/100)^2, so 0 is silent and
// 100 leaves the sound unchanged. Values outside 0..100 are clamped.
double VolumeGain(int value);

// Playback rate factor of the speed value 0..2000 (value/1000), with values
// below the slowest usable rate raised to it.
inline constexpr int kSlowestSpeedValue = 50;
inline constexpr int kFastestSpeedValue = 2000;
double SpeedFactor(int value);

// Linear factor of an equalizer band value: 0.15 dB per step.
double EqualizerFactor(std::int8_t bandValue);

}  // namespace mv
