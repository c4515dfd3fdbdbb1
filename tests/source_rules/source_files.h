#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace mv::test {

struct SourceFile {
    std::filesystem::path path;
    std::string relative;  // to the project root, with '/' separators
    std::string text;
};

// Every .cpp and .h file of the program's own code (src/ and server/).
inline std::vector<SourceFile> ProgramSources() {
    namespace fs = std::filesystem;
    const fs::path root = MV_SOURCE_DIR;
    std::vector<SourceFile> files;
    for (const char* top : {"src", "server"}) {
        std::error_code ec;
        if (!fs::is_directory(root / top, ec)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            files.push_back(
                {entry.path(), entry.path().lexically_relative(root).generic_string(), text.str()});
        }
    }
    return files;
}

}  // namespace mv::test
