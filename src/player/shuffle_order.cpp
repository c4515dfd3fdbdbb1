#include "player/shuffle_order.h"

#include <numeric>

namespace mv {

namespace {

// Draw from the entries not yet placed, in playlist order, one at a time.
void Redraw(size_t count, ShuffleOrder& shuffle, const RandomBelow& random) {
    std::vector<size_t> scratch(count);
    std::iota(scratch.begin(), scratch.end(), size_t{0});
    shuffle.order.clear();
    shuffle.order.reserve(count);
    while (!scratch.empty()) {
        const size_t r = random(scratch.size());
        shuffle.order.push_back(scratch[r]);
        // The order of the entries left does not matter to a uniform draw; a
        // swap with the last keeps each draw O(1) on a 20,000-entry playlist.
        scratch[r] = scratch.back();
        scratch.pop_back();
    }
    shuffle.cursor = 0;
}

}  // namespace

AdvanceResult AdvancePlaylist(const AdvanceParams& params, ShuffleOrder& shuffle,
                              const RandomBelow& random) {
    AdvanceResult result;
    if (params.entryCount == 0) {
        result.stop = true;
        return result;
    }
    if (shuffle.order.size() != params.entryCount || shuffle.cursor >= shuffle.order.size()) {
        Redraw(params.entryCount, shuffle, random);
    }
    if (params.shuffle) {
        result.next = static_cast<int>(shuffle.order[shuffle.cursor]);
        ++shuffle.cursor;
    } else if (params.current >= 0 && params.current < static_cast<int>(params.entryCount) - 1) {
        result.next = params.current + 1;
    } else {
        result.next = 0;
    }
    return result;
}

}  // namespace mv
