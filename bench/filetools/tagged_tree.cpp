#include "tagged_tree.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace mv::bench {

namespace {

namespace fs = std::filesystem;

std::string Field(std::string_view text, std::size_t width) {
    std::string field(text.substr(0, width));
    field.resize(width, '\0');
    return field;
}

void WriteTagged(const fs::path& path, const std::string& title, const std::string& artist) {
    std::string bytes(300, '\x55');
    bytes += "TAG" + Field(title, 30) + Field(artist, 30) + Field("Album", 30) + Field("2024", 4) +
             Field("", 30) + std::string(1, '\0');
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

bool ParseTaggedTreeArgs(int argc, char** argv, bool allowKeep, TaggedTreeArgs& args) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--files" && i + 1 < argc) {
            args.files = std::strtoul(argv[++i], nullptr, 10);
        } else if (arg == "--folders" && i + 1 < argc) {
            args.folders = std::strtoul(argv[++i], nullptr, 10);
        } else if (arg == "--work" && i + 1 < argc) {
            args.work = argv[++i];
        } else if (allowKeep && arg == "--keep") {
            args.keep = true;
        } else {
            return false;
        }
    }
    args.folders = std::max<std::size_t>(args.folders, 1);
    return true;
}

fs::path TreeRoot(const TaggedTreeArgs& args, const std::string& prefix) {
    return args.work.empty() ? fs::temp_directory_path() / (prefix + std::to_string(::getpid()))
                             : fs::path(args.work);
}

void WriteTaggedTree(const fs::path& root, std::size_t files, std::size_t folders) {
    for (std::size_t k = 0; k < files; ++k) {
        const std::size_t folder = k % folders;
        const fs::path dir =
            root / ("Artist " + std::to_string(folder / 10)) / ("Album " + std::to_string(folder));
        if (k < folders) fs::create_directories(dir);
        WriteTagged(dir / ("track" + std::to_string(k) + ".mp3"), "Song " + std::to_string(k),
                    "Artist " + std::to_string(folder));
    }
}

}  // namespace mv::bench
