// GatherFacts over files and folders, as the facts command will run it:
//   mv-bench-facts [--hash all|none] [--cache FILE] [--threads N] PATH...
// Prints the files, how many are audio and hashed, and the batch's own time
// (the listing of the folders excluded).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "files_of.h"
#include "media/facts_batch.h"

int main(int argc, char** argv) {
    mv::FactsBatchParams params;
    params.hash = mv::HashWhich::All;
    int i = 1;
    for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
        const std::string option = argv[i];
        if (option == "--hash") {
            params.hash =
                std::string(argv[i + 1]) == "none" ? mv::HashWhich::None : mv::HashWhich::All;
        } else if (option == "--cache") {
            params.cacheFile = argv[i + 1];
        } else if (option == "--threads") {
            params.threads = std::stoi(argv[i + 1]);
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    params.paths = FilesOf(argc, argv, i);
    const auto start = std::chrono::steady_clock::now();
    const mv::FactsBatchResult result = mv::GatherFacts(params);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::size_t audio = 0, hashed = 0;
    for (const auto& [path, facts] : result.facts) {
        audio += facts.status == mv::FactsStatus::Audio;
        hashed += facts.audioHash.has_value();
    }
    std::printf("%zu files, %zu audio, %zu hashed, %.3f s%s%s\n", result.facts.size(), audio,
                hashed, seconds,
                result.cacheProblem.empty() ? "" : ", cache: ", result.cacheProblem.c_str());
    return audio == 0 ? 1 : 0;
}
