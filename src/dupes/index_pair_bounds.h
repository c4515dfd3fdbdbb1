#pragma once

#include <cstdint>

#include "dupes/name_matcher.h"

// How many word pairs a name pair needs at least to match at a percentage.
// Greedy pairing never pairs more words than a maximum matching does, so a
// bound that holds for every matching holds for the verdict too.
namespace mv {

// Fewest pairs between a reference of f words and a probe of n words, for
// percent 1..101: at 1..99, 200k >= p(f + n); at 100 every reference word
// pairs; at 101 every probe word does.
inline uint32_t MinPairs(uint32_t f, uint32_t n, int percent) {
    if (percent == kPercentEveryFirstWord) return f;
    if (percent == kPercentEverySecondWord) return n;
    const uint64_t p = static_cast<uint64_t>(percent);
    return static_cast<uint32_t>((p * (f + n) + 199) / 200);
}

// Fewest pairs a reference of f >= 1 words needs with any probe it can match.
// At 1..99 the pairs k satisfy 200k >= p(f + n) and k <= n, so
// k >= p*f / (200 - p). At 101 one pair at least (the probe has words, else
// it matches anything).
inline uint32_t MinPairsOfReference(uint32_t f, int percent) {
    if (percent == kPercentEveryFirstWord) return f;
    if (percent == kPercentEverySecondWord) return 1;
    const uint64_t p = static_cast<uint64_t>(percent);
    return static_cast<uint32_t>((p * f + (199 - p)) / (200 - p));
}

// Whether a pair may match, given upper bounds of what can pair: `probeCovered`
// probe words have a partner among the reference's words, `refCovered`
// reference words have one among the probe's. Percent is 1..101. With the
// word counts themselves as bounds, this is the test of length alone.
inline bool PairsMaySuffice(uint32_t f, uint32_t n, uint32_t refCovered, uint32_t probeCovered,
                            int percent) {
    const uint32_t most = refCovered < probeCovered ? refCovered : probeCovered;
    if (percent == kPercentEveryFirstWord) return refCovered == f && probeCovered >= f;
    if (percent == kPercentEverySecondWord) return probeCovered == n && refCovered >= n;
    if (f + n == 0) return false;
    return 200ULL * most >= static_cast<uint64_t>(percent) * (f + n);
}

}  // namespace mv
