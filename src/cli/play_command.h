#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace mv {

// `play [--out wav:FILE] FILE...`: plays the files one after the other
// through the audio engine library beside the executable, printing the
// player's state changes and the position. `out` empty plays to the sound
// output; "wav:FILE" writes the sound to FILE instead (each file replaces the
// previous one's sound there). Setting `stop` ends the playback.
// Returns 0 when every file played to its end, 1 when a file could not be
// played (including a sound output that failed midway) or the engine could
// not start, 2 for a bad `out` or one that is the same file on disk as one of
// `files`, 130 when stopped.
int RunPlayCommand(const std::vector<std::string>& files, const std::string& out,
                   std::atomic<bool>& stop);

}  // namespace mv
