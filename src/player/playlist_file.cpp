#include "player/playlist_file.h"

#include <string_view>
#include <system_error>

#include "platform/text_lines.h"

namespace mv {

bool PlaylistFileCanHold(const PlaylistEntry& entry) {
    constexpr std::string_view kLineBreaks = "\r\n";
    return entry.name.find_first_of(kLineBreaks) == std::string::npos &&
           entry.path.find_first_of(kLineBreaks) == std::string::npos;
}

std::string SavePlaylist(const std::filesystem::path& file, const Playlist& entries) {
    std::vector<std::string> lines;
    lines.reserve(entries.size() * 2);
    for (const PlaylistEntry& entry : entries) {
        if (!PlaylistFileCanHold(entry)) continue;
        lines.push_back(entry.name);
        lines.push_back(entry.path);
    }
    return WriteLinesAtomically(file, lines);
}

PlaylistLoadResult LoadPlaylistWithStatus(const std::filesystem::path& file, Playlist& entries) {
    auto read = ReadLinesWithStatus(file);
    const auto& lines = read.lines;
    for (size_t k = 0; k + 1 < lines.size(); k += 2) entries.push_back({lines[k], lines[k + 1]});
    return {read.status, std::move(read.message)};
}

bool LoadPlaylist(const std::filesystem::path& file, Playlist& entries) {
    return LoadPlaylistWithStatus(file, entries).status == ReadStatus::Read;
}

std::vector<size_t> PurgeMissingEntries(Playlist& playlist) {
    std::vector<size_t> removed;
    Playlist kept;
    kept.reserve(playlist.size());
    for (size_t i = 0; i < playlist.size(); ++i) {
        std::error_code ec;
        if (std::filesystem::exists(playlist[i].path, ec)) {
            kept.push_back(std::move(playlist[i]));
        } else {
            removed.push_back(i);
        }
    }
    playlist = std::move(kept);
    return removed;
}

}  // namespace mv
