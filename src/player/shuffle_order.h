#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// Choosing the next playlist entry after a song, on "-->", "Next song" and the
// end-of-song timer. The playlist never ends: it wraps to the first entry, and
// in shuffle mode a new order is drawn once every entry of the old one played.
namespace mv {

// A pass over the playlist in shuffle mode: a permutation of the entries'
// indexes (so two entries of the same name both play) and how far it went.
// Owned by the GUI thread's playback handlers; lives as long as the window.
struct ShuffleOrder {
    std::vector<size_t> order;
    size_t cursor = 0;
};

// Draws an integer uniformly from 0 to bound - 1 (bound > 0).
using RandomBelow = std::function<size_t(size_t bound)>;

struct AdvanceParams {
    size_t entryCount = 0;
    int current = -1;  // the playlist box's current entry
    bool shuffle = false;
};

struct AdvanceResult {
    // The playlist is empty: stop the player instead (the timer keeps its state).
    bool stop = false;
    int next = -1;  // the entry to make current and play
};

// The next entry. Redraws `shuffle` first when the playlist's length changed
// or the pass is used up, also with shuffle off, so the order is ready when
// shuffle is switched on.
AdvanceResult AdvancePlaylist(const AdvanceParams& params, ShuffleOrder& shuffle,
                              const RandomBelow& random);

}  // namespace mv
