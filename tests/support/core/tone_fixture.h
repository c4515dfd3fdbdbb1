#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/core/mp3_fixture.h"

// A temporary folder with a one-second generated MP3 tone, for tests that play
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
        if (const auto made = mv::test::MakeToneMp3(dir, 440, 1.0)) {
            mp3 = *made;
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
