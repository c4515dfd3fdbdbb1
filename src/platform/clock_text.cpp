#include "platform/clock_text.h"

#include <algorithm>
#include <cstdio>

namespace mv {

std::string ClockText(std::int64_t seconds, bool hours) {
    const auto s = static_cast<long long>(std::max<std::int64_t>(seconds, 0));
    char text[32];
    if (hours) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    }
    return text;
}

}  // namespace mv
