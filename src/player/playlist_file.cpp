#include "player/playlist_file.h"

#include "platform/text_lines.h"

namespace mv {

std::string SavePlaylist(const std::filesystem::path& file, const PlaylistEntries& entries) {
    std::vector<std::string> lines;
    lines.reserve(entries.paths.size() * 2);
    for (size_t i = 0; i < entries.paths.size(); ++i) {
        lines.push_back(i < entries.names.size() ? entries.names[i] : std::string());
        lines.push_back(entries.paths[i]);
    }
    return WriteLinesAtomically(file, lines);
}

bool LoadPlaylist(const std::filesystem::path& file, PlaylistEntries& entries) {
    const auto lines = ReadLines(file);
    if (!lines) return false;
    for (size_t k = 0; k + 1 < lines->size(); k += 2) {
        entries.names.push_back((*lines)[k]);
        entries.paths.push_back((*lines)[k + 1]);
    }
    return true;
}

}  // namespace mv
