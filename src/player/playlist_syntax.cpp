#include <charconv>
#include <map>

#include "platform/ascii_case.h"
#include "player/playlist_formats.h"

// The line grammar of M3U and PLS, apart from files and paths.
namespace mv::playlist_detail {

namespace {

constexpr std::string_view kExtInf = "#EXTINF:";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// A PLS key "<prefix><N>" with N from 1; 0 when the key is no such key.
unsigned PlsIndex(std::string_view key, std::string_view prefix) {
    if (!StartsWithIgnoringCase(key, prefix)) return 0;
    const std::string_view digits = key.substr(prefix.size());
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size()) return 0;
    return n;
}

}  // namespace

std::string OneLineTitle(std::string_view title) {
    std::string text(title);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

int ParseLength(std::string_view text) {
    text = Trim(text);
    int n = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 0 || n > kMaxLength) return -1;
    return n;
}

std::vector<RawEntry> ParseM3u(const std::vector<std::string>& lines) {
    std::vector<RawEntry> entries;
    RawEntry pending;
    for (const std::string& line : lines) {
        const std::string_view text = line;
        if (StartsWithIgnoringCase(text, kExtInf)) {
            // "#EXTINF:<seconds>[ attributes],<title>": the title is all after the first comma.
            const std::string_view rest = text.substr(kExtInf.size());
            const size_t comma = rest.find(',');
            const std::string_view head = rest.substr(0, comma);
            pending.length = ParseLength(head.substr(0, head.find_first_of(" \t")));
            pending.title = comma == std::string_view::npos ? std::string()
                                                            : std::string(rest.substr(comma + 1));
            continue;
        }
        if (text.starts_with('#') || Trim(text).empty()) continue;
        pending.location = line;  // the bytes as they are: a name may end in a space
        entries.push_back(std::move(pending));
        pending = RawEntry{};
    }
    return entries;
}

std::vector<RawEntry> ParsePls(const std::vector<std::string>& lines) {
    std::map<unsigned, RawEntry> numbered;  // ordered by N, whatever the order of the lines
    bool inPlaylist = true;                 // keys before any section count too
    for (const std::string& line : lines) {
        const std::string_view text = Trim(line);
        if (text.starts_with('[')) {
            inPlaylist = EqualsIgnoringAsciiCase(text, "[playlist]");
            continue;
        }
        const size_t equals = text.find('=');
        if (!inPlaylist || equals == std::string_view::npos) continue;
        const std::string_view key = Trim(text.substr(0, equals));
        const std::string_view value = Trim(text.substr(equals + 1));
        if (const unsigned n = PlsIndex(key, "File"); n > 0) {
            numbered[n].location = std::string(value);
        } else if (const unsigned t = PlsIndex(key, "Title"); t > 0) {
            numbered[t].title = std::string(value);
        } else if (const unsigned l = PlsIndex(key, "Length"); l > 0) {
            numbered[l].length = ParseLength(value);
        }
    }
    std::vector<RawEntry> entries;
    for (auto& [n, entry] : numbered) {
        // A title or length without its file names nothing.
        if (!entry.location.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> FormatM3u(const std::vector<RawEntry>& entries) {
    std::vector<std::string> lines{"#EXTM3U"};
    lines.reserve(1 + entries.size() * 2);
    for (const RawEntry& entry : entries) {
        lines.push_back(std::string(kExtInf) + std::to_string(entry.length) + ',' +
                        OneLineTitle(entry.title));
        lines.push_back(entry.location);
    }
    return lines;
}

std::vector<std::string> FormatPls(const std::vector<RawEntry>& entries) {
    std::vector<std::string> lines{"[playlist]"};
    lines.reserve(3 + entries.size() * 3);
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        lines.push_back("File" + n + '=' + entries[i].location);
        // Readers trim a value's spaces, so the title is written as they will read it.
        lines.push_back("Title" + n + '=' + std::string(Trim(OneLineTitle(entries[i].title))));
        lines.push_back("Length" + n + '=' + std::to_string(entries[i].length));
    }
    lines.push_back("NumberOfEntries=" + std::to_string(entries.size()));
    lines.push_back("Version=2");
    return lines;
}

}  // namespace mv::playlist_detail
