#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mv {

// `play [--out wav:FILE] [--playlist FILE] [--shuffle] [--volume N] [--speed N]
// [--eq B1,...,B8] [FILE...]`: plays the files one after the other
// through the audio engine library beside the executable, printing the
// player's state changes and the position. `out` empty plays to the sound
// output; "wav:FILE" writes the sound to FILE instead: one WAV holding every
// file played, in order, in the first file's format (later ones are
// converted). Setting `stop` ends the playback.
// Returns 0 when every file played to its end, 1 when a file could not be
// played (including a sound output that failed midway) or the engine could
// not start, 2 for a bad `out` (one that is not a regular file or cannot be
// created, checked before anything plays, or the same file on disk as one
// of `files`), 130 when stopped (the tool gives 143 for SIGTERM).
int RunPlayCommand(const std::vector<std::string>& files, const std::string& out,
                   std::atomic<bool>& stop);

struct PlayParams {
    std::vector<std::string> files;  // played after the playlist's entries
    std::string out;                 // as above
    std::string playlist;            // a playlist file (pairs of lines); empty: none
    bool shuffle = false;            // each entry once, in a random order
    std::optional<int> volume;       // 0..100
    std::optional<int> speed;        // 0..2000, 1000 normal
    std::vector<int> eq;             // empty, or eight bars of -80..80 (top end -80 boosts)
};

// The same with the player's settings. Returns 2 as well for a playlist file
// that cannot be read, a value out of its range or an --eq without eight
// values; nothing to play (no entries, no files) is 2.
int RunPlayCommand(const PlayParams& params, std::atomic<bool>& stop);

// The order in which `count` entries play: as listed, or a permutation drawn
// with `random` (which returns a value below its bound).
std::vector<size_t> PlayOrder(size_t count, bool shuffle,
                              const std::function<size_t(size_t)>& random);

}  // namespace mv
