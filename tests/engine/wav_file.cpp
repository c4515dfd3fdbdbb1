#include "wav_file.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace mv::test {

namespace {

std::uint32_t U32(const std::vector<char>& b, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

std::uint16_t U16(const std::vector<char>& b, std::size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}

}  // namespace

double WavSound::Rms(std::size_t from, std::size_t to) const {
    to = std::min(to, Frames());
    if (from >= to) return 0;
    double sum = 0;
    for (std::size_t i = from * channels; i < to * channels; ++i) {
        const double v = samples[i] / 32768.0;
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>((to - from) * channels));
}

double WavSound::Hertz(std::size_t from, std::size_t to) const {
    to = std::min(to, Frames());
    if (from + 1 >= to || rate == 0) return 0;
    std::size_t rising = 0;
    for (std::size_t f = from + 1; f < to; ++f) {
        if (samples[(f - 1) * channels] < 0 && samples[f * channels] >= 0) ++rising;
    }
    return static_cast<double>(rising) * rate / static_cast<double>(to - from);
}

std::optional<WavSound> ReadWav(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::vector<char> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
        std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    WavSound sound;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint32_t size = U32(b, at + 4);
        if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && at + 24 <= b.size()) {
            if (U16(b, at + 8) != 1 || U16(b, at + 22) != 16) return std::nullopt;
            sound.channels = U16(b, at + 10);
            sound.rate = static_cast<int>(U32(b, at + 12));
        } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
            // A writer that was not finished leaves a size beyond the file.
            if (size > b.size() - at - 8) return std::nullopt;
            sound.samples.resize(size / 2);
            if (!sound.samples.empty()) {
                std::memcpy(sound.samples.data(), b.data() + at + 8, sound.samples.size() * 2);
            }
            return sound.channels > 0 ? std::optional(sound) : std::nullopt;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace mv::test
