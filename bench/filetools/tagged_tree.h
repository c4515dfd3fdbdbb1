#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// The tree the rename benchmarks work on: files of a few hundred fake audio
// bytes ending in an ID3v1 tag (artist per folder, title per file), in
// folders two deep, as artists and albums lie on a disk.
namespace mv::bench {

struct TaggedTreeArgs {
    std::size_t files = 10000;
    std::size_t folders = 100;
    std::string work;   // empty: a new folder in the temporary folder
    bool keep = false;  // leave the tree in place afterwards
};

// --files N, --folders M, --work DIR and, when `allowKeep`, --keep; false on
// anything else. At least one folder.
bool ParseTaggedTreeArgs(int argc, char** argv, bool allowKeep, TaggedTreeArgs& args);

// args.work, or `prefix` and this process's id in the temporary folder.
std::filesystem::path TreeRoot(const TaggedTreeArgs& args, const std::string& prefix);

// track<k>.mp3 in root/Artist <f/10>/Album <f>, f = k % folders.
void WriteTaggedTree(const std::filesystem::path& root, std::size_t files, std::size_t folders);

}  // namespace mv::bench
