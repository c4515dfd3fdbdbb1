// How far apart the similarity of copies of one recording and that of
// different recordings lie on a corpus from make_sound_corpus.py: the figures
// behind kSameRecording and kDifferentRecording.
//   mv-bench-print-spread [--cache FILE] FOLDER...
// With --cache the prints come through that facts cache (made there when
// missing), as the search has them.
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "../media/files_of.h"
#include "media/print_similarity.h"
#include "media/sound_print.h"
#include "media/sound_search.h"

namespace {

struct Printed {
    std::string path;
    std::string recording;  // the file name up to its first "_"
    std::vector<std::uint32_t> items;
};

void Report(const char* label, std::vector<std::pair<double, std::string>> scores) {
    if (scores.empty()) return;
    std::sort(scores.begin(), scores.end());
    std::printf("%-10s pairs %6zu  min %.3f  median %.3f  max %.3f\n", label, scores.size(),
                scores.front().first, scores[scores.size() / 2].first, scores.back().first);
    std::printf("  lowest:  %s\n  highest: %s\n", scores.front().second.c_str(),
                scores.back().second.c_str());
}

std::vector<Printed> PrintsOf(int argc, char** argv) {
    const bool cached = argc > 2 && std::string(argv[1]) == "--cache";
    mv::SoundSearchParams params;
    params.paths = FilesOf(argc, argv, cached ? 3 : 1);
    std::sort(params.paths.begin(), params.paths.end());
    if (cached) params.cacheFile = argv[2];
    mv::SoundPrintsResult gathered = mv::GatherSoundPrints(params);
    std::vector<Printed> prints;
    for (const std::string& path : params.paths) {
        auto found = gathered.prints.find(path);
        if (found == gathered.prints.end()) continue;
        const std::string name = std::filesystem::path(path).filename().string();
        prints.push_back({path, name.substr(0, name.find('_')), std::move(found->second.items)});
    }
    return prints;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Printed> prints = PrintsOf(argc, argv);
    std::vector<std::pair<double, std::string>> same;
    std::vector<std::pair<double, std::string>> different;
    for (size_t i = 0; i < prints.size(); ++i) {
        for (size_t j = i + 1; j < prints.size(); ++j) {
            const double s =
                mv::ComparePrintsExhaustive(prints[i].items, prints[j].items).similarity;
            auto& group = prints[i].recording == prints[j].recording ? same : different;
            group.emplace_back(s, prints[i].path + " ~ " + prints[j].path);
        }
    }
    std::printf("%zu files printed\n", prints.size());
    Report("same", std::move(same));
    Report("different", std::move(different));
    return 0;
}
