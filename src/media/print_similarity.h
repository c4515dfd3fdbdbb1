#pragma once

#include <cstdint>
#include <vector>

#include "media/sound_print.h"

// How alike two acoustic prints are: the share of equal bits between their
// items at the best shift of one against the other (up to five seconds either
// way, for silence added or trimmed at the start). The share is taken over
// the whole shorter print, its items left uncovered by the shift counting as
// half agreeing, so only prints that match along their length score high.
// Unrelated sound agrees on about half the bits, the same recording on far more.
namespace mv {

// Chosen from the generated corpus (docs/DECISIONS.md, "Sound prints"): copies
// of one recording scored 0.965 and up, different recordings 0.784 at most;
// "same" leaves room for real copies, which are noisier, and "different" lies
// above every stranger measured, so a stranger is never called unsure.
inline constexpr double kSameRecording = 0.85;       // at or above: the same recording
inline constexpr double kDifferentRecording = 0.80;  // below: different recordings

inline constexpr double kMaxShiftSeconds = 5.0;

enum class SoundVerdict { Same, Unsure, Different };

struct PrintMatch {
    double similarity = 0.0;  // 0..1; 0 when the prints do not overlap enough
    int offset = 0;           // items of b shifted against a at the best score
};

// The best such share over the shifts, found by a coarse pass over every shift and a full one
// around the best few.
PrintMatch ComparePrints(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

// The same by testing every shift in full: the reference for the fast one.
PrintMatch ComparePrintsExhaustive(const std::vector<std::uint32_t>& a,
                                   const std::vector<std::uint32_t>& b);

SoundVerdict VerdictOf(double similarity);

// Items in kMaxShiftSeconds.
int MaxShiftItems();

}  // namespace mv
