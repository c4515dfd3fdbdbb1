#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/file_key.h"

// The acoustic print of an MP3 file: Chromaprint's raw sub-fingerprints of
// its first two minutes, so two encodings of one recording (another bitrate,
// mono, a little silence more or less) can be told apart from different
// recordings whatever their names. Nothing here changes a file.
namespace mv {

// About eight items a second, each 32 bits describing the sound around it.
struct SoundPrint {
    std::vector<std::uint32_t> items;
    std::int64_t durationMs = 0;  // the audio that was printed (at most maxSeconds)
    friend bool operator==(const SoundPrint&, const SoundPrint&) = default;
};

enum class SoundPrintStatus {
    Printed,       // `print` holds the items
    NotMpegAudio,  // a regular file libmpg123 finds no audio in
    Unreadable,    // missing, not a regular file, or a read or decoder error
};

struct SoundPrintParams {
    std::string path;  // bytes as the file system has them
    int maxSeconds = 120;
};

struct SoundPrintResult {
    SoundPrintStatus status = SoundPrintStatus::Unreadable;
    std::string problem;  // empty when printed
    SoundPrint print;
    // The key of the very file read (from its descriptor); set whenever a
    // regular file was opened, so a cache stores the print under it.
    FileKey key;
    bool keyed = false;
};

// Decodes at most the first params.maxSeconds of the file (mono, 16-bit, at a
// rate no lower than Chromaprint's own) and prints it. Refuses what is not a
// regular file and never blocks on a pipe or device. Never throws.
SoundPrintResult ReadSoundPrint(const SoundPrintParams& params);

// Milliseconds of sound one item stands for in prints of this algorithm.
double SoundPrintItemMs();

}  // namespace mv
