#include "media/print_similarity.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

namespace mv {

namespace {

using Items = std::vector<std::uint32_t>;

// A shift is scored only over at least this much of the shorter print and
// this many items, so two prints touching at their ends cannot match by luck.
constexpr double kMinOverlapShare = 0.5;
constexpr int kMinOverlapItems = 16;
// Bits two unrelated items share, on average.
constexpr double kChanceShare = 0.5;
// The coarse pass reads every kStride-th overlapping item and keeps the
// best kCandidates shifts for the full pass (and their neighbours).
constexpr int kStride = 4;
constexpr int kCandidates = 3;

int MinOverlap(const Items& a, const Items& b) {
    const auto shorter = static_cast<int>(std::min(a.size(), b.size()));
    return std::max(kMinOverlapItems, static_cast<int>(std::ceil(shorter * kMinOverlapShare)));
}

// Equal bits and the items compared, with a[i] against b[i + offset],
// reading every `stride`-th pair.
std::pair<long long, int> EqualBits(const Items& a, const Items& b, int offset, int stride) {
    const int from = std::max(0, -offset);
    const int to = std::min(static_cast<int>(a.size()), static_cast<int>(b.size()) - offset);
    long long differing = 0;
    int compared = 0;
    for (int i = from; i < to; i += stride) {
        differing += std::popcount(a[i] ^ b[i + offset]);
        ++compared;
    }
    return {32LL * compared - differing, compared};
}

int Overlap(const Items& a, const Items& b, int offset) {
    const int from = std::max(0, -offset);
    const int to = std::min(static_cast<int>(a.size()), static_cast<int>(b.size()) - offset);
    return std::max(0, to - from);
}

// The share of equal bits over the whole shorter print: its items the other
// print does not reach at this shift count as agreeing by chance (half their
// bits). A copy lies within the other print but for the seconds shifted, while
// a few seconds of two melodies that happen to agree (one's end, the other's
// start) must not outweigh the rest of the shorter print.
double Score(const Items& a, const Items& b, int offset, int stride) {
    const auto [equal, compared] = EqualBits(a, b, offset, stride);
    if (compared == 0) return 0.0;
    const double overlap = Overlap(a, b, offset);
    const double shorter = static_cast<double>(std::min(a.size(), b.size()));
    const double share = static_cast<double>(equal) / (32.0 * compared);
    return (share * overlap + kChanceShare * (shorter - overlap)) / shorter;
}

// The shifts with enough overlap, in order from -max to +max.
std::vector<int> Shifts(const Items& a, const Items& b) {
    std::vector<int> shifts;
    const int limit = MaxShiftItems();
    const int needed = MinOverlap(a, b);
    for (int offset = -limit; offset <= limit; ++offset) {
        if (Overlap(a, b, offset) >= needed) shifts.push_back(offset);
    }
    return shifts;
}

PrintMatch Best(const Items& a, const Items& b, const std::vector<int>& shifts) {
    PrintMatch best;
    for (const int offset : shifts) {
        const double score = Score(a, b, offset, 1);
        if (score > best.similarity) best = PrintMatch{score, offset};
    }
    return best;
}

}  // namespace

int MaxShiftItems() {
    return static_cast<int>(std::lround(kMaxShiftSeconds * 1000.0 / SoundPrintItemMs()));
}

PrintMatch ComparePrintsExhaustive(const Items& a, const Items& b) {
    return Best(a, b, Shifts(a, b));
}

PrintMatch ComparePrints(const Items& a, const Items& b) {
    const std::vector<int> shifts = Shifts(a, b);
    if (shifts.size() <= 2 * kCandidates) return Best(a, b, shifts);
    std::vector<std::pair<double, int>> coarse;
    coarse.reserve(shifts.size());
    for (const int offset : shifts) coarse.emplace_back(Score(a, b, offset, kStride), offset);
    std::partial_sort(coarse.begin(), coarse.begin() + kCandidates, coarse.end(),
                      [](const auto& x, const auto& y) { return x.first > y.first; });
    // The true best shift can sit beside a coarse winner: its neighbours are
    // scored in full too.
    std::vector<int> fine;
    for (int i = 0; i < kCandidates; ++i) {
        for (int d = -1; d <= 1; ++d) {
            const int offset = coarse[i].second + d;
            if (std::find(shifts.begin(), shifts.end(), offset) != shifts.end()) {
                fine.push_back(offset);
            }
        }
    }
    return Best(a, b, fine);
}

SoundVerdict VerdictOf(double similarity) {
    if (similarity >= kSameRecording) return SoundVerdict::Same;
    if (similarity < kDifferentRecording) return SoundVerdict::Different;
    return SoundVerdict::Unsure;
}

}  // namespace mv
