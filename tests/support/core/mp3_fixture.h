// MP3 files made at test time: a sine from sox, encoded by lame.
#pragma once

#include <filesystem>
#include <optional>

namespace mv::test {

bool Mp3ToolsAvailable();

// A sine of the given frequency and length at half full scale (stereo at
// 44.1 kHz unless told), as an MP3 in dir; nullopt when sox or lame failed.
std::optional<std::filesystem::path> MakeToneMp3(const std::filesystem::path& dir, int hertz,
                                                 double seconds, int rate = 44100,
                                                 int channels = 2);

}  // namespace mv::test
