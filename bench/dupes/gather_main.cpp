// mv-bench-gather FOLDER [EXT]: the gathering of a duplicate search alone, as
// the tool runs it before comparing: the walk that lists the folders and their
// files, and the facts that tell which paths are one file. The yardstick for
// it is `find FOLDER -type f`.
#include <cstdio>
#include <string>

#include "dupes/compare_gathering.h"
#include "platform/folder_listing.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: mv-bench-gather FOLDER [EXT]\n");
        return 2;
    }
    const std::string ext = argc > 2 ? argv[2] : "Mp3";
    const mv::FolderFilesCollection collected = mv::CollectFolderFiles(argv[1], ext);
    const mv::GatheredFiles files(collected.folders);
    const std::vector<mv::FileFacts> facts = mv::ReadFileFacts(files);
    size_t shared = 0;
    for (size_t k = 0; k < facts.size(); ++k) shared += facts[k].firstPath != k;
    std::printf("%zu files in %zu folders, %zu under a second path\n", files.Count(),
                collected.folders.size(), shared);
    return 0;
}
