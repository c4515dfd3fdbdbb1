#pragma once

#include <string>
#include <string_view>

// Comparing names typed by the user (CD names) without regard to letter case.
//
// Names are bytes: UTF-8 when written on Linux, Windows-1252 in catalogues made
// on Windows. Both are first read as text the way they are shown (valid UTF-8 as
// it stands, anything else as Windows-1252), so "CAFÉ" typed here finds "café"
// stored by the Windows program. Letters are then folded one to one: ASCII,
// Latin-1, Latin Extended-A (the accented letters of Windows-1252 included),
// Greek and Cyrillic. Folds that change the length (ß and "SS") are not made.
namespace mv {

// The UTF-8 text of `name` with every letter in its lower-case form.
std::string FoldNameCase(std::string_view name);

bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace mv
