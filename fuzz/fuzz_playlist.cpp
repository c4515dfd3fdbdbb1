// The playlist reader: a file of any bytes loads as the pairs of its lines,
// appended after what the playlist held; saving and loading again gives the
// same entries.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_files.h"
#include "platform/text_lines.h"
#include "player/playlist_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto path = WriteFuzzFile("LastList.txt", bytes);
    const auto lines = mv::SplitLines(bytes);

    const mv::PlaylistEntry kept{"Kept", "/kept.mp3"};
    mv::Playlist playlist{kept};
    const auto load = mv::LoadPlaylistWithStatus(path, playlist);
    FUZZ_CHECK(load.status == mv::ReadStatus::Read && load.message.empty());
    FUZZ_CHECK(playlist.size() == 1 + lines.size() / 2);
    FUZZ_CHECK(playlist.front() == kept);
    for (size_t k = 1; k < playlist.size(); ++k) {
        FUZZ_CHECK(playlist[k].name == lines[2 * (k - 1)]);
        FUZZ_CHECK(playlist[k].path == lines[2 * (k - 1) + 1]);
    }

    FUZZ_CHECK(mv::SavePlaylist(path, playlist).empty());
    mv::Playlist again;
    FUZZ_CHECK(mv::LoadPlaylist(path, again));
    FUZZ_CHECK(again == playlist);
    return 0;
}
