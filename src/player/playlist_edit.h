#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "player/playlist_file.h"

// Changes to the playlist that the playlist box mirrors row for row: each
// result says which rows went or moved, so the box can follow.
namespace mv {

// The index of the first entry whose path equals `path` (ASCII letter case
// ignored), or -1.
int FindPlaylistPath(const Playlist& playlist, const std::string& path);

// The name part of a path (what the playlist box shows).
std::string PlaylistDisplayName(const std::string& path);

struct AddFolderParams {
    std::string folder;    // the browser's current folder
    std::string ext;       // the extension box's text
    bool recurse = false;  // "When adding a folder to playlist, add subfolders too"
};

struct AddFolderResult {
    size_t added = 0;                     // entries appended at the end of the playlist
    std::vector<std::string> passedOver;  // folders that could not be read
    // Files left out because the playlist file cannot hold their paths (a CR
    // or LF in a name, see PlaylistFileCanHold), in the order met.
    std::vector<std::string> refused;
};

// Appends the files of the folder (and, when recursing, of every folder below
// it that holds such files, breadth first), each folder's files in the
// browser's order, skipping paths already in the playlist and refusing those
// the playlist file cannot hold. Runs without
// processing events: 20,000 entries take a hash of the known paths, not a
// search per file.
AddFolderResult AddFolderToPlaylist(const AddFolderParams& params, Playlist& playlist);

// The one message naming the files a playlist cannot hold, a path a line with
// its CRs and LFs written as \r and \n.
std::string PlaylistRefusedMessage(const std::vector<std::string>& paths);

struct RemoveResult {
    std::vector<size_t> removed;  // former indexes, ascending
    int current = -1;             // the entry current afterwards
};

// The Delete key: removes the selected entries (`selected` parallel to the
// playlist); each removal makes the entry before it current (-1 for the
// first), so the current entry ends before the last one removed.
RemoveResult RemoveSelectedEntries(Playlist& playlist, const std::vector<bool>& selected,
                                   int current);

// A drop: moves entry `from` so that it lands at `target` once taken out; a
// target past the end (a drop below the last row) appends it. Returns the
// index where it landed, -1 when `from` names no entry.
int MovePlaylistEntry(Playlist& playlist, int from, int target);

}  // namespace mv
