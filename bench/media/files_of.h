// The regular files named on a command line: files as given, folders walked.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string> FilesOf(int argc, char** argv, int first) {
    std::vector<std::string> files;
    for (int i = first; i < argc; ++i) {
        if (!std::filesystem::is_directory(argv[i])) {
            files.emplace_back(argv[i]);
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
            if (entry.is_regular_file()) files.push_back(entry.path().string());
        }
    }
    return files;
}
