// The M3U, M3U8 and PLS readers: the first byte picks the format, the rest is
// the file. Any bytes read without fault; only existing files become entries;
// writing what was read and reading it again gives the same entries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_files.h"
#include "platform/text_encoding.h"
#include "platform/text_lines.h"
#include "player/playlist_formats.h"

namespace {

constexpr const char* kNames[] = {"list.m3u", "list.m3u8", "list.pls"};

// The name a second reading shows: M3U8 titles become UTF-8; PLS readers trim
// a value's spaces and tabs, and an entry without a title shows its file name.
std::string ExpectedName(const std::filesystem::path& file, const mv::PlaylistEntry& entry) {
    const mv::PlaylistFormat format = mv::PlaylistFormatOf(file);
    if (format == mv::PlaylistFormat::M3u8) return mv::DisplayUtf8(entry.name);
    if (format != mv::PlaylistFormat::Pls) return entry.name;
    const size_t first = entry.name.find_first_not_of(" \t");
    if (first == std::string::npos) return std::filesystem::path(entry.path).filename().string();
    return entry.name.substr(first, entry.name.find_last_not_of(" \t") - first + 1);
}

void CheckRoundTrip(const std::filesystem::path& file, const mv::PlaylistReadResult& read) {
    mv::PlaylistWriteParams params;
    params.file = file;
    params.lengthOf = [&read](const std::string& path) {
        for (size_t i = 0; i < read.entries.size(); ++i) {
            if (read.entries[i].path == path) return read.lengths[i];
        }
        return -1;
    };
    const mv::PlaylistWriteResult written = mv::WritePlaylistFile(params, read.entries);
    FUZZ_CHECK(written.error.empty());
    mv::Playlist expected;
    for (const mv::PlaylistEntry& entry : read.entries) {
        if (std::find(written.refused.begin(), written.refused.end(), entry.path) !=
            written.refused.end()) {
            continue;
        }
        expected.push_back({ExpectedName(file, entry), entry.path});
    }
    const mv::PlaylistReadResult again = mv::ReadPlaylistFile(file);
    FUZZ_CHECK(again.status == mv::ReadStatus::Read);
    FUZZ_CHECK(again.entries == expected);
    FUZZ_CHECK(again.missing.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Files the input can name, relative to the playlist or as file:// URLs.
    static const bool made = [] {
        WriteFuzzFile("a.mp3", "x");
        WriteFuzzFile("b c.mp3", "x");
        return true;
    }();
    (void)made;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto path = WriteFuzzFile(kNames[data[0] % 3], bytes);

    const mv::PlaylistReadResult read = mv::ReadPlaylistFile(path);
    FUZZ_CHECK(read.status == mv::ReadStatus::Read && read.message.empty());
    FUZZ_CHECK(read.lengths.size() == read.entries.size());
    FUZZ_CHECK(read.entries.size() + read.missing.size() <= mv::SplitLines(bytes).size());
    for (size_t i = 0; i < read.entries.size(); ++i) {
        std::error_code ec;
        FUZZ_CHECK(std::filesystem::is_regular_file(read.entries[i].path, ec));
        FUZZ_CHECK(!read.entries[i].name.empty());
        FUZZ_CHECK(read.lengths[i] >= -1 && read.lengths[i] <= mv::playlist_detail::kMaxLength);
    }
    CheckRoundTrip(path, read);
    return 0;
}
