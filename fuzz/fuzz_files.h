#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

// A private folder for the files a fuzz target writes, made on first use and
// removed when the process ends. One per process: libFuzzer runs one input at
// a time per process.
inline const std::filesystem::path& FuzzFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "mv_fuzz_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(FuzzFolder(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// Puts `bytes` into the file `name` of FuzzFolder() exactly as they are.
inline std::filesystem::path WriteFuzzFile(const char* name, std::string_view bytes) {
    const auto path = FuzzFolder() / name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    return path;
}

// Stops the run with the input kept as a crash when an invariant fails.
#define FUZZ_CHECK(cond)                                                                      \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)
