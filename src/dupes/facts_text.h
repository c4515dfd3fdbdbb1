#pragma once

#include <cstdint>
#include <string>

#include "media/media_facts.h"

// The facts of a file as people read them, in the window's facts column and
// beside "Delete all". UTF-8.
namespace mv {

// Decimal units with one decimal: "512.0 kB" below 1 MB, then "4.1 MB", then
// "21.4 GB" from 1 GB up. A size that rounds to 1000.0 of a unit is shown in
// the next one ("1.0 MB", not "1000.0 kB").
std::string BytesText(std::uint64_t bytes);

// "3:52", or "1:02:07" from an hour up; rounded to the nearest second.
std::string DurationText(std::int64_t ms);

// "4.1 MB · 3:52 · 128 kbps CBR · ID3v1": size, length, average bitrate and
// whether it varies, then the tags ("ID3v1, ID3v2, APE" or "no tag"). A file
// that is not audio shows its problem text instead.
std::string FactsText(const MediaFacts& facts);

}  // namespace mv
