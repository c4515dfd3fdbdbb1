#include "player/playlist_formats.h"

#include <algorithm>
#include <system_error>

#include "platform/ascii_case.h"
#include "platform/folder_listing.h"
#include "platform/text_encoding.h"
#include "player/playlist_edit.h"

namespace mv {

using playlist_detail::RawEntry;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr size_t kMissingNamed = 5;  // how many missing paths the message lists

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char lower = FoldAscii(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// "file:///a%20b.mp3" or "file://localhost/..." -> "/a b.mp3"; anything else as it is.
std::string LocalPath(const std::string& location) {
    constexpr std::string_view kScheme = "file://";
    if (location.size() < kScheme.size() ||
        !EqualsIgnoringAsciiCase(std::string_view(location).substr(0, kScheme.size()), kScheme)) {
        return location;
    }
    std::string_view rest = std::string_view(location).substr(kScheme.size());
    if (rest.starts_with("localhost/")) rest.remove_prefix(std::string_view("localhost").size());
    if (!rest.starts_with('/')) return location;
    std::string path;
    for (size_t k = 0; k < rest.size(); ++k) {
        const int hi = rest[k] == '%' && k + 2 < rest.size() ? HexDigit(rest[k + 1]) : -1;
        const int lo = hi >= 0 ? HexDigit(rest[k + 2]) : -1;
        if (lo >= 0) {
            path += static_cast<char>(hi * 16 + lo);
            k += 2;
        } else {
            path += rest[k];
        }
    }
    return path;
}

bool IsSymlink(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_symlink(path, ec);
}

// Drops "." parts and each ".." with the part before it, unless that part is a
// link (the kernel takes ".." from the link's target): the same file, named as
// the user sees the folders.
std::string WithoutDotParts(const std::string& path) {
    std::string out;
    std::vector<size_t> starts;  // where each kept part's '/' stands in `out`
    size_t start = 0;
    while (start < path.size()) {
        size_t slash = path.find('/', start + 1);
        if (slash == std::string::npos) slash = path.size();
        const std::string_view part = std::string_view(path).substr(start, slash - start);
        if (part == "/.") {
        } else if (part == "/.." && !starts.empty() && !out.ends_with("/..") && !IsSymlink(out)) {
            out.erase(starts.back());
            starts.pop_back();
        } else {
            starts.push_back(out.size());
            out += part;
        }
        start = slash;
    }
    return out.empty() ? "/" : out;
}

// The file an entry names: relative to the playlist's folder; a Windows-style
// relative path ("Disc 1\a.mp3") when only its slashed form exists.
std::string Resolve(const std::string& folder, const std::string& location) {
    std::string path = LocalPath(location);
    // Another scheme's URL (a stream) names no file here; it is told as written.
    if (path.find("://") != std::string::npos && !path.starts_with('/')) return path;
    if (!path.starts_with('/')) path = WithoutDotParts(JoinPath(folder, path));
    if (IsRegularFile(path) || path.find('\\') == std::string::npos) return path;
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    slashed = WithoutDotParts(slashed);
    return IsRegularFile(slashed) ? slashed : path;
}

PlaylistReadResult ReadOwn(const std::filesystem::path& file) {
    PlaylistReadResult result;
    const PlaylistLoadResult load = LoadPlaylistWithStatus(file, result.entries);
    result.status = load.status;
    result.message = load.message;
    result.lengths.assign(result.entries.size(), -1);
    return result;
}

}  // namespace

PlaylistFormat PlaylistFormatOf(const std::filesystem::path& file) {
    const std::string ext = FoldAsciiCase(file.extension().string());
    if (ext == ".m3u") return PlaylistFormat::M3u;
    if (ext == ".m3u8") return PlaylistFormat::M3u8;
    if (ext == ".pls") return PlaylistFormat::Pls;
    return PlaylistFormat::Own;
}

PlaylistReadResult ReadPlaylistFile(const std::filesystem::path& file) {
    const PlaylistFormat format = PlaylistFormatOf(file);
    if (format == PlaylistFormat::Own) return ReadOwn(file);
    PlaylistReadResult result;
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec) &&
        std::filesystem::file_size(file, ec) > kMaxStandardPlaylistBytes && !ec) {
        result.status = ReadStatus::Unreadable;
        result.message = "Cannot read " + file.string() + ": it is too large for a playlist.";
        return result;
    }
    ReadLinesResult read = ReadLinesWithStatus(file);
    result.status = read.status;
    result.message = std::move(read.message);
    if (read.status != ReadStatus::Read) return result;
    if (!read.lines.empty() && read.lines.front().starts_with(kBom)) {
        read.lines.front().erase(0, kBom.size());
    }
    const std::vector<RawEntry> raw = format == PlaylistFormat::Pls
                                          ? playlist_detail::ParsePls(read.lines)
                                          : playlist_detail::ParseM3u(read.lines);
    const std::string folder = ParentFolder(std::filesystem::absolute(file, ec).string());
    for (const RawEntry& entry : raw) {
        std::string path = Resolve(folder, entry.location);
        if (!IsRegularFile(path)) {
            result.missing.push_back(std::move(path));
            continue;
        }
        std::string name = entry.title.empty() ? PlaylistDisplayName(path) : entry.title;
        result.entries.push_back({std::move(name), std::move(path)});
        result.lengths.push_back(entry.length);
    }
    return result;
}

namespace {

bool FormatCanHold(PlaylistFormat format, const std::string& path) {
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return false;
    switch (format) {
        case PlaylistFormat::M3u8:
            return IsValidUtf8(path) && !path.starts_with('#');
        case PlaylistFormat::M3u:
            return !path.starts_with('#');
        case PlaylistFormat::Pls:
            return path.find_first_of(" \t") != 0 && path.find_last_of(" \t") != path.size() - 1;
        case PlaylistFormat::Own:
            return true;
    }
    return true;
}

}  // namespace

PlaylistWriteResult WritePlaylistFile(const PlaylistWriteParams& params, const Playlist& entries) {
    PlaylistWriteResult result;
    const PlaylistFormat format = PlaylistFormatOf(params.file);
    if (format == PlaylistFormat::Own) {
        for (const PlaylistEntry& entry : entries) {
            if (!PlaylistFileCanHold(entry)) result.refused.push_back(entry.path);
        }
        result.error = SavePlaylist(params.file, entries);
        return result;
    }
    std::vector<RawEntry> raw;
    raw.reserve(entries.size());
    for (const PlaylistEntry& entry : entries) {
        if (!FormatCanHold(format, entry.path)) {
            result.refused.push_back(entry.path);
            continue;
        }
        const int length = params.lengthOf ? params.lengthOf(entry.path) : -1;
        // Titles are only shown: an M3U8 one that is not UTF-8 is read as Windows-1252.
        std::string title = format == PlaylistFormat::M3u8 ? DisplayUtf8(entry.name) : entry.name;
        raw.push_back({entry.path, std::move(title), length < 0 ? -1 : length});
    }
    const auto lines = format == PlaylistFormat::Pls ? playlist_detail::FormatPls(raw)
                                                     : playlist_detail::FormatM3u(raw);
    result.error = WriteLinesAtomically(params.file, lines);
    return result;
}

std::string MissingEntriesMessage(const std::vector<std::string>& missing) {
    if (missing.empty()) return {};
    std::string text =
        std::to_string(missing.size()) +
        (missing.size() == 1 ? " file of the playlist is" : " files of the playlist are") +
        " missing and left out:";
    for (size_t i = 0; i < missing.size() && i < kMissingNamed; ++i) text += '\n' + missing[i];
    if (missing.size() > kMissingNamed) {
        text += "\n... and " + std::to_string(missing.size() - kMissingNamed) + " more.";
    }
    return text;
}

std::string UnwritableEntriesMessage(const std::vector<std::string>& refused) {
    if (refused.empty()) return {};
    std::string text =
        "These files are left out of the playlist file: its format cannot hold "
        "their names.";
    for (const std::string& path : refused) text += '\n' + DisplayUtf8(path);
    return text;
}

}  // namespace mv
