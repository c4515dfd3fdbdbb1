#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/text_lines.h"

// Playlist files (user playlists and the last playlist): pairs of lines,
// display name then full path, in playlist order; no header, no count.
namespace mv {

struct PlaylistEntry {
    std::string name;  // what the playlist box shows
    std::string path;  // the full path of the file
    bool operator==(const PlaylistEntry&) const = default;
};

// The playlist in its order; a row of the playlist box is the entry of the
// same index.
using Playlist = std::vector<PlaylistEntry>;

// Whether the two-line file can hold the entry: neither its name nor its path
// holds a CR or LF, which would split it and shift every entry after it.
bool PlaylistFileCanHold(const PlaylistEntry& entry);

// Writes the pairs of the entries PlaylistFileCanHold; the others are left out
// of the file (they cannot be written as they are, and no other path is
// theirs). An empty string on success, else a message.
std::string SavePlaylist(const std::filesystem::path& file, const Playlist& entries);

struct PlaylistLoadResult {
    ReadStatus status = ReadStatus::Absent;
    std::string message;  // not Read: names the file and the cause
};

// Appends the pairs of the file to `entries` (a last unpaired line is ignored).
// When the file is absent or cannot be read, `entries` is unchanged.
PlaylistLoadResult LoadPlaylistWithStatus(const std::filesystem::path& file, Playlist& entries);
// The same; true when the file was read.
bool LoadPlaylist(const std::filesystem::path& file, Playlist& entries);

// Drops the entries whose files no longer exist; returns their former indices
// in ascending order.
std::vector<size_t> PurgeMissingEntries(Playlist& playlist);

}  // namespace mv
