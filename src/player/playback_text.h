#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The player's status line and what follows it: the tray tip (at most 64
// characters, a longer status scrolls through it) and the position bar.
namespace mv {

inline constexpr size_t kTrayTipLength = 64;
inline constexpr int kTrackRange = 400;  // tbTrack's maximum; seeks use it as the range

// Player states the engine reports.
enum PlayerState : int32_t {
    kStateStopped = 0,
    kStatePlaying = 1,
    kStatePaused = 2,
    kStateEnded = 3
};

template <typename Text>
struct TipScroll {
    Text tip;
    size_t nextOffset = 0;
};

// The 64 characters of `status` starting at `offset`, going on from its start
// after its end; the offset moves on by one and wraps at the text's length.
// Text is a string of characters (not bytes), e.g. std::u32string.
template <typename Text>
TipScroll<Text> ScrollTip(const Text& status, size_t offset) {
    TipScroll<Text> out;
    const size_t length = status.size();
    if (length == 0) return out;
    offset %= length;
    for (size_t i = 0; i < kTrayTipLength && i < length; ++i) {
        out.tip.push_back(status[(offset + i) % length]);
    }
    out.nextOffset = offset + 1 == length ? 0 : offset + 1;
    return out;
}

// The position bar's place for an engine position. The engine reports on 400
// unless told otherwise; other ranges are scaled in proportion, and anything
// out of range lands on the nearer end.
inline int TrackPosition(uint32_t offset, uint32_t range) {
    if (range == 0) return 0;
    const uint64_t scaled = static_cast<uint64_t>(offset) * kTrackRange / range;
    return scaled > static_cast<uint64_t>(kTrackRange) ? kTrackRange : static_cast<int>(scaled);
}

}  // namespace mv
