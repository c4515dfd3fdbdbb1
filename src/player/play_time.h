#pragma once

#include <cstdint>
#include <string>

// The times the player shows: beside the position bar and after each
// playlist entry.
namespace mv {

// "m:ss" below an hour, "h:mm:ss" from an hour on; seconds are cut, not
// rounded, so a time never runs ahead of the sound. Below 0 counts as 0.
std::string PlayTimeText(int64_t ms);

// Elapsed and total beside the position bar, "m:ss / m:ss": the elapsed time
// is the bar's place on its range of the song's length. When the length
// reaches an hour both halves take the hour form, so the two line up. No
// length known (0) gives "0:00 / 0:00"; a place out of range lands on the
// nearer end.
std::string PositionTimeText(int position, int range, int64_t durationMs);

}  // namespace mv
