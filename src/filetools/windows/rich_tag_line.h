#pragma once

#include <QString>
#include <array>
#include <string>

#include "filetools/id3v1_tag.h"
#include "filetools/rich_tag.h"

namespace mv {

// The tag panel's line for the tag beyond ID3v1: "ID3v2: Title / Artist /
// Album / 1999 / track 3/12 / Rock" (APE likewise), empty fields left out;
// empty for a file with neither tag.
QString RichTagLine(const RichTagRead& read);
// The same fields one per line with their names, for the line's tool tip.
QString RichTagDetails(const RichTagRead& read);

// What Save writes into the ID3v2 tag: the file's fields as read, each of
// title, artist, album and year replaced by its box (UTF-8) when the user
// changed the box or the tag had no text there, trailing blanks cut. A box left as shown must not
// cut a longer ID3v2 text down to ID3v1's 30 bytes. Track and genre stay.
RichTag RichTagForSave(const RichTag& read, const std::array<std::string, kTagFieldCount>& boxes,
                       const std::array<bool, kTagFieldCount>& changed);

}  // namespace mv
