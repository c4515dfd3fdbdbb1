#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mv::test {

struct SourceFile {
    std::filesystem::path path;
    std::string relative;  // to the tree's root, with '/' separators
    std::string text;
};

// A source tree the rules are checked on: the project's own, or one a test
// plants in a temporary folder.
struct SourceTree {
    std::filesystem::path root;
    std::vector<SourceFile> files;  // every .cpp and .h under src/ and server/
};

SourceTree ReadTree(const std::filesystem::path& root);

// The project's own tree.
inline SourceTree ProgramTree() {
    return ReadTree(MV_SOURCE_DIR);
}

}  // namespace mv::test
