// MP3 files with and without an ID3v1 tag, for the tag and renaming tests.
// The tag bytes are laid out here by hand from the field table, not by the
// code under test.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "support/core/mp3_fixture.h"

namespace mv::test {

// The 128 bytes of a tag: "TAG", title at 3, artist at 33, album at 63, year
// at 93, comment at 97, genre at 127. Each text is stored as given (cut at its
// width) and followed by `pad`.
inline std::string TagBlock(const std::string& title = "", const std::string& artist = "",
                            const std::string& album = "", const std::string& year = "",
                            const std::string& comment = "", char pad = '\0',
                            unsigned char genre = 0) {
    std::string block = "TAG";
    auto field = [&block, pad](const std::string& text, size_t width) {
        block += text.substr(0, width) + std::string(width - std::min(width, text.size()), pad);
    };
    field(title, 30);
    field(artist, 30);
    field(album, 30);
    field(year, 4);
    field(comment, 30);
    block += static_cast<char>(genre);
    return block;
}

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of a short tone encoded by lame (no tag of its own), made once per
// process; nullopt when sox or lame is missing.
inline const std::optional<std::string>& ToneAudio() {
    static const std::optional<std::string> audio = []() -> std::optional<std::string> {
        const auto dir =
            std::filesystem::temp_directory_path() / ("mv_tag_tone_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const auto mp3 = MakeToneMp3(dir, 440, 0.2);
        std::optional<std::string> bytes;
        if (mp3) bytes = FileBytes(*mp3);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        return bytes;
    }();
    return audio;
}

// Writes audio followed by `tag` (nothing when nullopt) to `path`.
inline bool WriteMp3(const std::filesystem::path& path, const std::optional<std::string>& tag) {
    if (!ToneAudio()) return false;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << *ToneAudio() << tag.value_or("");
    return true;
}

}  // namespace mv::test
