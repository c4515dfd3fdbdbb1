// Where the time of a comparison against the Mp3 list goes, phase by phase:
//   mv-bench-mode1-phases LIST FOLDER [PERCENT]
// Prints the wall time of each phase in milliseconds, once cold (as a run
// without the persisted index does it) and once through that index.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/list_line.h"
#include "catalogue/list_location.h"
#include "dupes/candidate_index.h"
#include "dupes/compare_gathering.h"
#include "dupes/compare_request.h"
#include "dupes/list_index_file.h"
#include "dupes/name_matcher.h"
#include "phase_clock.h"
#include "platform/folder_listing.h"

using mv::bench::MsSince;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LIST FOLDER [PERCENT]\n", argv[0]);
        return 2;
    }
    const int percent = argc > 3 ? std::stoi(argv[3]) : 80;
    auto t = std::chrono::steady_clock::now();
    mv::FolderFilesCollection listed = mv::CollectFolderFiles(argv[2], "mp3");
    std::printf("list the folder       %8.1f ms\n", MsSince(t));

    t = std::chrono::steady_clock::now();
    mv::ListForRun list = mv::ReadListForRun(argv[1]);
    std::printf("read the list         %8.1f ms (%zu lines)\n", MsSince(t), list.lines->size());
    const std::vector<std::string>& lines = *list.lines;

    t = std::chrono::steady_clock::now();
    std::vector<std::string> normalized(lines.size());
    for (size_t j = 0; j < lines.size(); ++j) {
        if (!mv::IsListControlLine(lines[j])) normalized[j] = mv::NormalizeName(lines[j]);
    }
    std::printf("normalise titles      %8.1f ms\n", MsSince(t));
    t = std::chrono::steady_clock::now();
    std::vector<mv::PreparedName> refs(lines.size());
    for (size_t j = 0; j < lines.size(); ++j) refs[j] = mv::PrepareName(normalized[j]);
    std::printf("split into words      %8.1f ms\n", MsSince(t));
    t = std::chrono::steady_clock::now();
    auto index = mv::CandidateIndex::Build(refs, percent, 1);
    std::printf("build word index      %8.1f ms (one thread)\n", MsSince(t));
    t = std::chrono::steady_clock::now();
    const mv::ListKey key = mv::KeyOfLines(lines);
    std::printf("hash the lines        %8.1f ms\n", MsSince(t));
    t = std::chrono::steady_clock::now();
    const std::string bytes = mv::ListIndexBytes(*index, key, lines.size(), percent);
    std::printf("index bytes           %8.1f ms (%zu bytes)\n", MsSince(t), bytes.size());
    t = std::chrono::steady_clock::now();
    const auto loaded = mv::ReadListIndexBytes(bytes, key, lines.size(), percent);
    std::printf("load the index        %8.1f ms (%s)\n", MsSince(t), loaded ? "loaded" : "refused");

    t = std::chrono::steady_clock::now();
    mv::GatheredFiles files(listed.folders);
    std::vector<mv::PreparedName> probes(files.Count());
    for (size_t k = 0; k < files.Count(); ++k) {
        probes[k] = mv::PrepareName(mv::NormalizeName(files.Name(k)));
    }
    std::printf("prepare the files     %8.1f ms (%zu files)\n", MsSince(t), files.Count());
    for (const mv::CandidateIndex* which : {index.get(), loaded.get()}) {
        if (which == nullptr) continue;
        t = std::chrono::steady_clock::now();
        uint64_t candidates = 0, matches = 0;
        std::vector<uint32_t> out;
        for (const auto& probe : probes) {
            out.clear();
            which->Candidates(probe, 0, out);
            candidates += out.size();
            for (uint32_t j : out) matches += mv::PreparedNamesMatch(which->Ref(j), probe, percent);
        }
        std::printf("candidates and checks %8.1f ms (%s: %llu candidates, %llu matches)\n",
                    MsSince(t), which == index.get() ? "built" : "loaded",
                    static_cast<unsigned long long>(candidates),
                    static_cast<unsigned long long>(matches));
    }
    t = std::chrono::steady_clock::now();
    mv::ListLocations locations(lines);
    std::printf("list locations        %8.1f ms\n", MsSince(t));
    return 0;
}
