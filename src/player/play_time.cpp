#include "player/play_time.h"

#include <algorithm>

#include "platform/clock_text.h"

namespace mv {

namespace {

constexpr int64_t kHourMs = 3600 * 1000;

std::string Format(int64_t ms, bool hourForm) {
    return ClockText(std::max<int64_t>(ms, 0) / 1000, hourForm);
}

}  // namespace

std::string PlayTimeText(int64_t ms) {
    return Format(ms, ms >= kHourMs);
}

std::string PositionTimeText(int position, int range, int64_t durationMs) {
    const int64_t total = std::max<int64_t>(durationMs, 0);
    int64_t elapsed = 0;
    if (range > 0) {
        const int64_t place = std::clamp<int64_t>(position, 0, range);
        elapsed = total * place / range;
    }
    const bool hourForm = total >= kHourMs;
    return Format(elapsed, hourForm) + " / " + Format(total, hourForm);
}

}  // namespace mv
