#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_lines.h"
#include "player/playlist_file.h"

// Playlists other players read and write: M3U (.m3u, the path bytes as they
// are), M3U8 (.m3u8, UTF-8) and PLS (.pls), chosen by the file's extension;
// any other name is the program's own two-line format (playlist_file.h).
namespace mv {

enum class PlaylistFormat { Own, M3u, M3u8, Pls };

// By the extension, letter case ignored.
PlaylistFormat PlaylistFormatOf(const std::filesystem::path& file);

struct PlaylistReadResult {
    ReadStatus status = ReadStatus::Absent;
    std::string message;  // not Read: names the file and the cause
    Playlist entries;     // in file order, paths resolved, only files that exist
    // Seconds, parallel to `entries`; -1 where the file gives none.
    std::vector<int> lengths;
    // Paths whose files are missing, resolved, in file order; left out of `entries`.
    std::vector<std::string> missing;
};

// Reads a playlist of any format. Only a regular file is read (never blocks on
// a pipe) and one larger than kMaxStandardPlaylistBytes is refused, so a hostile
// file costs bounded memory. A relative path resolves against the playlist's
// folder (a Windows-style one with backslashes too, when only that form exists);
// file:// URLs are decoded. An entry shows its title when the file gives one,
// else its file name. The own format keeps every pair (no missing check).
PlaylistReadResult ReadPlaylistFile(const std::filesystem::path& file);

constexpr size_t kMaxStandardPlaylistBytes = size_t{64} << 20;

struct PlaylistWriteParams {
    std::filesystem::path file;  // the format follows its extension
    // Seconds of an entry's file, -1 when unknown; unset: all unknown.
    std::function<int(const std::string& path)> lengthOf;
};

struct PlaylistWriteResult {
    std::string error;                 // empty on success, else names the file and the cause
    std::vector<std::string> refused;  // paths the format cannot hold, left out
};

// Writes the entries through the atomic writer. Refused: a path with a CR or
// LF (any format), one that is not UTF-8 (.m3u8), one with spaces at either
// end (.pls, whose readers trim values). Titles lose their line breaks.
PlaylistWriteResult WritePlaylistFile(const PlaylistWriteParams& params, const Playlist& entries);

// The one message naming the entries left out for missing files: the count
// and the first few paths.
std::string MissingEntriesMessage(const std::vector<std::string>& missing);
// The one message naming the paths a format could not hold.
std::string UnwritableEntriesMessage(const std::vector<std::string>& refused);

// The formats' parts, for the reader and writer above.
namespace playlist_detail {
struct RawEntry {
    std::string location;  // as written in the file (path or URL)
    std::string title;     // empty when none
    int length = -1;
};
std::vector<RawEntry> ParseM3u(const std::vector<std::string>& lines);
std::vector<RawEntry> ParsePls(const std::vector<std::string>& lines);
std::vector<std::string> FormatM3u(const std::vector<RawEntry>& entries);
std::vector<std::string> FormatPls(const std::vector<RawEntry>& entries);
// A title on one line: CR and LF become spaces.
std::string OneLineTitle(std::string_view title);
// Whole seconds from 0 to kMaxLength (spaces around allowed); otherwise -1.
constexpr int kMaxLength = 100'000'000;
int ParseLength(std::string_view text);
}  // namespace playlist_detail

}  // namespace mv
