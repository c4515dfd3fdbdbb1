// The index's part of `dupes`, without the walk and the rows around it:
//   mv-bench-self-probes FOLDER [PERCENT] [REPEATS]
// Lists FOLDER and prepares its names once, then builds the word index and
// probes it with every name against the names after it (as `dupes` does) on
// one thread, REPEATS times; prints each phase's fastest time in milliseconds.
// One thread and the fastest of several runs: a change to the index shows
// through a busy machine's noise.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "dupes/candidate_index.h"
#include "dupes/compare_gathering.h"
#include "dupes/name_matcher.h"
#include "phase_clock.h"
#include "platform/folder_listing.h"

using mv::bench::MsSince;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [PERCENT] [REPEATS]\n", argv[0]);
        return 2;
    }
    const int percent = argc > 2 ? std::stoi(argv[2]) : 80;
    const int repeats = argc > 3 ? std::max(1, std::stoi(argv[3])) : 5;
    const mv::FolderFilesCollection listed = mv::CollectFolderFiles(argv[1], "mp3");
    const mv::GatheredFiles files(listed.folders);
    std::vector<mv::PreparedName> names(files.Count());
    for (size_t k = 0; k < files.Count(); ++k) {
        names[k] = mv::PrepareName(mv::NormalizeName(files.Name(k)));
    }
    double build = std::numeric_limits<double>::max(), probe = build;
    uint64_t candidates = 0;
    for (int r = 0; r < repeats; ++r) {
        auto t = std::chrono::steady_clock::now();
        const auto index = mv::CandidateIndex::Build(names, percent, 1);
        build = std::min(build, MsSince(t));
        t = std::chrono::steady_clock::now();
        std::vector<uint32_t> out;
        candidates = 0;
        for (uint32_t i = 0; i < names.size(); ++i) {
            out.clear();
            index->CandidatesOfRef(i, i + 1, out);
            candidates += out.size();
        }
        probe = std::min(probe, MsSince(t));
    }
    std::printf("%zu names, %llu candidates; fastest of %d: build %.1f ms, probes %.1f ms\n",
                names.size(), static_cast<unsigned long long>(candidates), repeats, build, probe);
    return 0;
}
