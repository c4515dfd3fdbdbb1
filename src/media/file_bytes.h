#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "media/media_facts.h"

// Reading parts of a file already open, by position (pread), so a reader
// never depends on or moves the descriptor's offset.
namespace mv {

class FileWindow;

// Up to `length` bytes from `offset` into `out`; fewer at the end of the file
// or on a read error. Returns the count.
std::size_t PreadFully(int fd, std::uint64_t offset, char* out, std::size_t length);
std::string ReadBytesAt(int fd, std::uint64_t offset, std::size_t length);

// XXH3-128 of [offset, offset + length), streamed through a buffer of 1 MiB;
// nullopt with `problem` set when the bytes could not all be read.
std::optional<AudioHash> HashByteRange(int fd, std::uint64_t offset, std::uint64_t length,
                                       std::string* problem);

// Where the tags at the end of a file begin, given the end of the file less
// what TagLib found there (`end`: the size, less an ID3v1 tag and the APE tag
// directly before it). TagLib knows nothing of Lyrics3v2, nor of an APE tag
// ahead of one, so those footers ("LYRICS200" after a six-digit size,
// "APETAGEX" with its size) are checked here, as often as they repeat. Never
// below `floor` (the first frame).
std::uint64_t TrailingTagsStart(FileWindow& file, std::uint64_t end, std::uint64_t floor);

}  // namespace mv
