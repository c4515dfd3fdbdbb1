#include "support/core/mp3_fixture.h"

#include <cstdlib>
#include <string>

namespace mv::test {

namespace {

bool Run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

}  // namespace

bool Mp3ToolsAvailable() {
    return Run("command -v lame >/dev/null 2>&1 && command -v sox >/dev/null 2>&1");
}

std::optional<std::filesystem::path> MakeToneMp3(const std::filesystem::path& dir, int hertz,
                                                 double seconds, int rate, int channels) {
    const std::string stem = "tone_" + std::to_string(hertz) + "_" +
                             std::to_string(static_cast<int>(seconds * 1000)) + "_" +
                             std::to_string(rate) + "_" + std::to_string(channels);
    const auto wav = dir / (stem + ".wav");
    const auto mp3 = dir / (stem + ".mp3");
    if (std::filesystem::exists(mp3)) return mp3;
    const std::string kbps = rate < 32000 ? "64" : "128";
    if (!Run("sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 '" +
             wav.string() + "' synth " + std::to_string(seconds) + " sine " +
             std::to_string(hertz) + " vol 0.5") ||
        !Run("lame --quiet -b " + kbps + " '" + wav.string() + "' '" + mp3.string() + "'")) {
        return std::nullopt;
    }
    std::filesystem::remove(wav);
    return mp3;
}

}  // namespace mv::test
