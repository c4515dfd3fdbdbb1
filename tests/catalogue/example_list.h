#pragma once

#include <string>
#include <vector>

namespace mv::testing {

// Two CDs: "Rock 1999" with Music/Pop (one title) and Music/Rock (two), and
// "Live" with one title at its root and one in Encore.
// clang-format off
inline const std::vector<std::string> kExampleList = {
    "\\Mp3 List", "\\Rock 1999", "/Music", "/Pop", "Singer Tune.mp3", "..",
    "/Rock", "Band One Song A.mp3", "Band One Song B.mp3", "..", "..",
    "\\Live", "Concert Intro.mp3", "/Encore", "Concert Finale.mp3", ".."};
// clang-format on

}  // namespace mv::testing
