#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A temporary folder with a short generated MP3 tone, for tests that play
// through the real engine. Empty mp3 when sox or lame is missing.
class ToneFixture {
  public:
    ToneFixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "mv-player-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        dir = pattern;
        if (std::system("command -v sox >/dev/null && command -v lame >/dev/null") != 0) {
            return;
        }
        const auto wav = dir / "tone.wav";
        const auto out = dir / "tone.mp3";
        const std::string make = "sox -n -r 44100 -c 2 '" + wav.string() +
                                 "' synth 1 sine 440 vol 0.5 && lame --quiet -b 128 '" +
                                 wav.string() + "' '" + out.string() + "'";
        if (std::system(make.c_str()) == 0) {
            mp3 = out;
        }
    }
    ~ToneFixture() {
        std::error_code ec;
        if (!dir.empty()) {
            std::filesystem::remove_all(dir, ec);
        }
    }
    ToneFixture(const ToneFixture&) = delete;
    ToneFixture& operator=(const ToneFixture&) = delete;

    std::filesystem::path dir;
    std::filesystem::path mp3;
};
