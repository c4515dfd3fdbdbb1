#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Playlist files (user playlists and the last playlist): pairs of lines,
// display name then full path, in playlist order; no header, no count.
namespace mv {

struct PlaylistEntries {
    std::vector<std::string> names;  // what the playlist box shows
    std::vector<std::string> paths;  // the full path of each entry
};

// Writes the pairs; an empty string on success, else a message.
std::string SavePlaylist(const std::filesystem::path& file, const PlaylistEntries& entries);

// Appends the pairs of the file to `entries` (a last unpaired line is ignored).
// False when the file cannot be read; `entries` is then unchanged.
bool LoadPlaylist(const std::filesystem::path& file, PlaylistEntries& entries);

}  // namespace mv
