// MP3 files made at test time: a sine from sox, encoded by lame.
#pragma once

#include <filesystem>
#include <optional>

namespace mv::test {

bool Mp3ToolsAvailable();

// A stereo 44.1 kHz sine of the given frequency and length at half full
// scale, as a 128 kbit/s MP3 in dir; nullopt when sox or lame failed.
std::optional<std::filesystem::path> MakeToneMp3(const std::filesystem::path& dir, int hertz,
                                                 double seconds);

}  // namespace mv::test
