#pragma once

#include <cstdint>
#include <optional>

// The length of MPEG audio counted frame by frame by libmpg123, for a VBR
// stream without a Xing or VBRI header: TagLib then has nothing but the first
// frame's bitrate to go by and can be off by many seconds.
namespace mv {

// Milliseconds of audio in the open file `fd` (read from its start; the
// descriptor's offset is moved); nullopt when libmpg123 finds no frames.
std::optional<std::int64_t> ScanDurationMs(int fd);

}  // namespace mv
