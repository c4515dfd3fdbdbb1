#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The facts of one MP3 file as a user compares two copies: size, length,
// bitrate, the tags it carries, and the audio identity, a hash of the MPEG
// audio frames alone, so two files that differ only in their tags are the same
// audio. Nothing here changes a file.
namespace mv {

// XXH3-128 of the bytes between the last leading tag and the first trailing
// tag (ID3v2 at the front; ID3v1, APE and Lyrics3 at the end).
struct AudioHash {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    // 32 lower-case hex digits, high half first.
    std::string Hex() const;
    friend bool operator==(const AudioHash&, const AudioHash&) = default;
};

enum class FactsStatus {
    Audio,         // MPEG audio: every field below is known
    NotMpegAudio,  // a regular file that holds no MPEG audio frames
    Unreadable,    // missing, not a regular file, or a read error
};

struct MediaFacts {
    FactsStatus status = FactsStatus::Unreadable;
    // Empty for Audio; "not MPEG audio" for NotMpegAudio; the cause otherwise.
    std::string problem;
    std::uint64_t size = 0;  // bytes, known for every regular file
    std::int64_t durationMs = 0;
    int bitrateKbps = 0;  // average
    bool vbr = false;
    int sampleRate = 0;
    int channels = 0;
    bool id3v1 = false;
    bool id3v2 = false;
    bool ape = false;
    // Where the audio frames lie: [audioOffset, audioOffset + audioLength).
    std::uint64_t audioOffset = 0;
    std::uint64_t audioLength = 0;
    // Set when the frames were hashed; never for a file that is not audio.
    std::optional<AudioHash> audioHash;
};

// Reads the facts of the file at `path` (bytes as the file system has them).
// With `hashAudio` the frames are read and hashed too; without it only the
// file's ends are read. Refuses what is not a regular file and never blocks
// on a pipe or device. Never throws.
MediaFacts ReadMediaFacts(const std::string& path, bool hashAudio);

// Whether two files hold the same audio: null when either is not audio;
// false when their audio parts differ in length (no hash needed); otherwise
// whether both hashes are present and equal (null when one is missing).
std::optional<bool> SameAudio(const MediaFacts& a, const MediaFacts& b);

}  // namespace mv
