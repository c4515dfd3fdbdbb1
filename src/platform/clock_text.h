#pragma once

#include <cstdint>
#include <string>

namespace mv {

// A length of time as a clock shows it: "m:ss", or "h:mm:ss" when `hours`
// (the minutes then below 60). Below 0 counts as 0. Callers choose how to
// come to whole seconds (rounded for a file's length, cut for a place in
// a song, so it never runs ahead of the sound).
std::string ClockText(std::int64_t seconds, bool hours);

}  // namespace mv
