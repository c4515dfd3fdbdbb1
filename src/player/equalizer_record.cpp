#include "player/equalizer_record.h"

#include <algorithm>
#include <cstring>

namespace mv {

int ClampEqualizerBar(int position) {
    return std::clamp(position, kEqualizerBarMin, kEqualizerBarMax);
}

XA_EqualizerInfo BuildEqualizerRecord(const EqualizerBars& bars) {
    XA_EqualizerInfo record{};
    for (int k = 0; k < kEqualizerBars; ++k) {
        const auto value = static_cast<int8_t>(-ClampEqualizerBar(bars[static_cast<size_t>(k)]));
        const BandSpan span = kEqualizerSpans[static_cast<size_t>(k)];
        for (int b = span.first; b < span.first + span.count; ++b) record.left[b] = value;
    }
    std::memcpy(record.right, record.left, sizeof record.left);
    return record;
}

}  // namespace mv
