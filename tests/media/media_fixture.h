// MP3 files for the facts tests: a sweep encoded by lame with the options a
// test asks for, and tags laid out by hand from their formats (not by the
// code under test), so one audio can be dressed in every kind of tag.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "support/core/mp3_fixture.h"
#include "support/core/tag_fixture.h"

namespace mv::test {

// A sweep from 100 Hz to 8 kHz (its bitrate varies under VBR), `seconds`
// long, encoded with `lameOptions`; the MP3's bytes, or nullopt.
inline std::optional<std::string> SweepMp3(const std::filesystem::path& dir,
                                           const std::string& lameOptions, double seconds = 3.0) {
    std::filesystem::create_directories(dir);
    const auto wav = dir / "sweep.wav";
    const auto mp3 = dir / "sweep.mp3";
    const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + wav.string() + "' synth " +
                             std::to_string(seconds) + " sine 100-8000 vol 0.5 && lame --quiet " +
                             lameOptions + " '" + wav.string() + "' '" + mp3.string() + "'";
    if (std::system(make.c_str()) != 0) return std::nullopt;
    std::string bytes = FileBytes(mp3);
    std::filesystem::remove(wav);
    std::filesystem::remove(mp3);
    return bytes;
}

inline std::string BigEndian32(std::uint32_t v, bool syncsafe = false) {
    const int shift = syncsafe ? 7 : 8;
    const std::uint32_t mask = syncsafe ? 0x7F : 0xFF;
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[3 - i] = static_cast<char>((v >> (shift * i)) & mask);
    return out;
}

inline std::string LittleEndian32(std::uint32_t v) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

// An ID3v2.3 tag with one title frame and `padding` zero bytes after it.
inline std::string Id3v2Tag(const std::string& title, std::uint32_t padding = 0) {
    const std::string frame = "TIT2" + BigEndian32(static_cast<std::uint32_t>(title.size() + 1)) +
                              std::string(2, '\0') + std::string(1, '\0') + title;
    const auto body = static_cast<std::uint32_t>(frame.size() + padding);
    return std::string("ID3\x03\x00\x00", 6) + BigEndian32(body, true) + frame +
           std::string(padding, '\0');
}

// An APEv2 tag with header and footer and one Title item.
inline std::string ApeTag(const std::string& title) {
    const std::string item = LittleEndian32(static_cast<std::uint32_t>(title.size())) +
                             LittleEndian32(0) + std::string("Title\0", 6) + title;
    const auto size = static_cast<std::uint32_t>(item.size() + 32);
    auto block = [&](std::uint32_t flags) {
        return "APETAGEX" + LittleEndian32(2000) + LittleEndian32(size) + LittleEndian32(1) +
               LittleEndian32(flags) + std::string(8, '\0');
    };
    return block(0xA0000000u) + item + block(0x80000000u);
}

// A Lyrics3v2 block with one lyrics field.
inline std::string Lyrics3Tag(const std::string& lyrics) {
    std::string field = "LYR" + std::string(5 - std::to_string(lyrics.size()).size(), '0') +
                        std::to_string(lyrics.size()) + lyrics;
    const std::string body = "LYRICSBEGIN" + field;
    std::string size = std::to_string(body.size());
    size = std::string(6 - size.size(), '0') + size;
    return body + size + "LYRICS200";
}

inline std::string WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

}  // namespace mv::test
