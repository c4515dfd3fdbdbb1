// Reads the 16-bit PCM WAV files the engine writes in tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace mv::test {

struct WavSound {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;  // interleaved

    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
    // Root mean square of frames [from, to), on the scale of 1.0 = full.
    double Rms(std::size_t from, std::size_t to) const;
    double Rms() const { return Rms(0, Frames()); }
    // The pitch of a plain tone in frames [from, to) of the first channel,
    // from its rising zero crossings.
    double Hertz(std::size_t from, std::size_t to) const;
};

std::optional<WavSound> ReadWav(const std::filesystem::path& path);

}  // namespace mv::test
