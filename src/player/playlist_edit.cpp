#include "player/playlist_edit.h"

#include <unordered_set>

#include "platform/ascii_case.h"
#include "platform/folder_listing.h"

namespace mv {

int FindPlaylistPath(const Playlist& playlist, const std::string& path) {
    for (size_t i = 0; i < playlist.size(); ++i) {
        if (EqualsIgnoringAsciiCase(playlist[i].path, path)) return static_cast<int>(i);
    }
    return -1;
}

std::string PlaylistDisplayName(const std::string& path) {
    return FileNamePart(path);
}

AddFolderResult AddFolderToPlaylist(const AddFolderParams& params, Playlist& playlist) {
    AddFolderResult result;
    // Each folder is read once: with subfolders, the walk lists their files too.
    std::vector<FolderWithFiles> folders;
    if (params.recurse) {
        FolderFilesCollection collected = CollectFolderFiles(params.folder, params.ext);
        folders = std::move(collected.folders);
        result.passedOver = std::move(collected.passedOver);
    } else if (auto listed = ListFolderFilesWithIds(TrimFolderPath(params.folder), params.ext)) {
        folders.push_back(std::move(*listed));
    } else {
        result.passedOver.push_back(TrimFolderPath(params.folder));
    }
    std::unordered_set<std::string> known;
    known.reserve(playlist.size() * 2);
    for (const PlaylistEntry& entry : playlist) known.insert(FoldAsciiCase(entry.path));
    for (const FolderWithFiles& folder : folders) {
        for (const std::string& name : folder.files) {
            PlaylistEntry entry{name, JoinPath(folder.folder, name)};
            if (!PlaylistFileCanHold(entry)) {
                result.refused.push_back(std::move(entry.path));
                continue;
            }
            if (!known.insert(FoldAsciiCase(entry.path)).second) continue;
            playlist.push_back(std::move(entry));
            ++result.added;
        }
    }
    return result;
}

RemoveResult RemoveSelectedEntries(Playlist& playlist, const std::vector<bool>& selected,
                                   int current) {
    RemoveResult result;
    result.current = current;
    Playlist kept;
    kept.reserve(playlist.size());
    for (size_t i = 0; i < playlist.size(); ++i) {
        if (i < selected.size() && selected[i]) {
            result.removed.push_back(i);
            // The entry before it, counted in the shortened list.
            result.current = static_cast<int>(kept.size()) - 1;
        } else {
            kept.push_back(std::move(playlist[i]));
        }
    }
    playlist = std::move(kept);
    return result;
}

int MovePlaylistEntry(Playlist& playlist, int from, int target) {
    if (from < 0 || from >= static_cast<int>(playlist.size())) return -1;
    PlaylistEntry moved = std::move(playlist[static_cast<size_t>(from)]);
    playlist.erase(playlist.begin() + from);
    if (target < 0) target = 0;
    if (target > static_cast<int>(playlist.size())) target = static_cast<int>(playlist.size());
    playlist.insert(playlist.begin() + target, std::move(moved));
    return target;
}

std::string PlaylistRefusedMessage(const std::vector<std::string>& paths) {
    std::string text =
        "These files are left out of the playlist: a line break in a name would split the "
        "playlist file.";
    for (const std::string& path : paths) {
        text += '\n';
        for (const char c : path) {
            if (c == '\r') {
                text += "\\r";
            } else if (c == '\n') {
                text += "\\n";
            } else {
                text += c;
            }
        }
    }
    return text;
}

}  // namespace mv
