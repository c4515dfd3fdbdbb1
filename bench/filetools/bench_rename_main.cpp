// mv-bench-rename: Rename All with subfolders over a generated tree of tagged
// files (by default 10,000 files in 100 folders), as the window runs it:
// CollectFolders, each folder listed, every file's tag read and the file
// renamed by "%2 - %1" + ".Mp3". A dry run over the same tree is timed first.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "filetools/naming_model.h"
#include "tagged_tree.h"

namespace {

namespace fs = std::filesystem;

const char kUsage[] =
    "usage: mv-bench-rename [--files N] [--folders M] [--work DIR] [--keep]\n"
    "  writes N tagged files (a few hundred bytes each) spread over M folders below DIR\n"
    "  (default: a new folder in the temporary folder), then times a dry run and the\n"
    "  real Rename All with subfolders; --keep leaves the tree in place.\n";

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
    mv::bench::TaggedTreeArgs args;
    if (!mv::bench::ParseTaggedTreeArgs(argc, argv, true, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const size_t files = args.files, folders = args.folders;
    const fs::path root = mv::bench::TreeRoot(args, "mv-bench-rename-");
    fs::remove_all(root);

    auto start = std::chrono::steady_clock::now();
    mv::bench::WriteTaggedTree(root, files, folders);
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

    if (!args.keep) fs::remove_all(root);
    return real.renamed == files && dry.renamed == files ? 0 : 1;
}
