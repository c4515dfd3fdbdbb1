// mv-bench-rename: Rename All with subfolders over a generated tree of tagged
// files (by default 10,000 files in 100 folders), as the window runs it:
// CollectFolders, each folder listed, every file's tag read and the file
// renamed by "%2 - %1" + ".Mp3". A dry run over the same tree is timed first.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "filetools/naming_model.h"

namespace {

namespace fs = std::filesystem;

const char kUsage[] =
    "usage: mv-bench-rename [--files N] [--folders M] [--work DIR] [--keep]\n"
    "  writes N tagged files (a few hundred bytes each) spread over M folders below DIR\n"
    "  (default: a new folder in the temporary folder), then times a dry run and the\n"
    "  real Rename All with subfolders; --keep leaves the tree in place.\n";

std::string Field(std::string_view text, size_t width) {
    std::string field(text.substr(0, width));
    field.resize(width, '\0');
    return field;
}

// A file of fake audio bytes ending in a tag: artist per folder, title per file.
void WriteTagged(const fs::path& path, const std::string& title, const std::string& artist) {
    std::string bytes(300, '\x55');
    bytes += "TAG" + Field(title, 30) + Field(artist, 30) + Field("Album", 30) + Field("2024", 4) +
             Field("", 30) + std::string(1, '\0');
    std::ofstream(path, std::ios::binary) << bytes;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The process's user + system time so far: on a shared machine the wall
// time also counts the waits for a core.
double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
    size_t files = 10000, folders = 100;
    std::string work;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--files" && i + 1 < argc) {
            files = std::strtoul(argv[++i], nullptr, 10);
        } else if (arg == "--folders" && i + 1 < argc) {
            folders = std::strtoul(argv[++i], nullptr, 10);
        } else if (arg == "--work" && i + 1 < argc) {
            work = argv[++i];
        } else if (arg == "--keep") {
            keep = true;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (folders == 0) folders = 1;
    const fs::path root =
        work.empty() ? fs::temp_directory_path() / ("mv-bench-rename-" + std::to_string(::getpid()))
                     : fs::path(work);
    fs::remove_all(root);

    auto start = std::chrono::steady_clock::now();
    // Folders two deep, as artists and albums lie on a disk.
    for (size_t k = 0; k < files; ++k) {
        const size_t folder = k % folders;
        const fs::path dir =
            root / ("Artist " + std::to_string(folder / 10)) / ("Album " + std::to_string(folder));
        if (k < folders) fs::create_directories(dir);
        WriteTagged(dir / ("track" + std::to_string(k) + ".mp3"), "Song " + std::to_string(k),
                    "Artist " + std::to_string(folder));
    }
    std::printf("wrote %zu files in %zu folders in %.3f s\n", files, folders, Seconds(start));

    mv::RenameAllParams params;
    params.root = root.string();
    params.recurse = true;
    params.dryRun = true;
    start = std::chrono::steady_clock::now();
    double cpu = CpuSeconds();
    const mv::RenameAllResult dry = mv::RenameAll(params);
    std::printf("dry run: %zu of %zu files would be renamed in %.3f s (cpu %.3f s)\n", dry.renamed,
                dry.outcomes.size(), Seconds(start), CpuSeconds() - cpu);

    params.dryRun = false;
    start = std::chrono::steady_clock::now();
    cpu = CpuSeconds();
    const mv::RenameAllResult real = mv::RenameAll(params);
    const double seconds = Seconds(start);
    std::printf("rename all: %zu of %zu files renamed in %.3f s (cpu %.3f s; target < 2 s)\n",
                real.renamed, real.outcomes.size(), seconds, CpuSeconds() - cpu);

    if (!keep) fs::remove_all(root);
    return real.renamed == files && dry.renamed == files ? 0 : 1;
}
