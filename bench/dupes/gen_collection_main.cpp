// mv-gen-collection: writes a realistic collection of (tiny) MP3 files for
// demos and benchmarks, and optionally a catalogue of CDs.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "collection_generator.h"

namespace {

const char kUsage[] =
    "usage: mv-gen-collection --files N --seed S --out DIR [--list FILE --titles M]\n"
    "  --files N    number of .mp3 files, about a tenth of them near-duplicates\n"
    "  --seed S     the same seed gives the same collection\n"
    "  --out DIR    root folder of the collection (created if missing)\n"
    "  --list FILE  also write a catalogue of CDs (Mp3 list layout) with M titles\n";

bool ParseCount(const char* text, unsigned long long& out) {
    char* end = nullptr;
    out = std::strtoull(text, &end, 10);
    return end != text && *end == '\0' && text[0] != '-';
}

}  // namespace

int main(int argc, char** argv) {
    mv::CollectionParams params;
    bool haveOut = false;
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (k + 1 >= argc) {
            std::fprintf(stderr, "mv-gen-collection: %s needs a value\n%s", argv[k], kUsage);
            return 2;
        }
        const char* value = argv[++k];
        unsigned long long n = 0;
        if (arg == "--out") {
            params.out = value;
            haveOut = true;
        } else if (arg == "--list") {
            params.listFile = value;
        } else if ((arg == "--files" || arg == "--seed" || arg == "--titles") &&
                   ParseCount(value, n)) {
            if (arg == "--files") params.plan.files = n;
            if (arg == "--seed") params.plan.seed = static_cast<uint32_t>(n);
            if (arg == "--titles") params.plan.listTitles = n;
        } else {
            std::fprintf(stderr, "mv-gen-collection: bad argument %s %s\n%s", argv[k - 1], value,
                         kUsage);
            return 2;
        }
    }
    if (!haveOut || params.out.empty()) {
        std::fprintf(stderr, "mv-gen-collection: --out is required\n%s", kUsage);
        return 2;
    }
    if (params.listFile.empty() != (params.plan.listTitles == 0)) {
        std::fprintf(stderr, "mv-gen-collection: --list and --titles go together\n%s", kUsage);
        return 2;
    }
    const mv::CollectionResult r = mv::GenerateCollection(params);
    std::printf("%zu files (%zu near-duplicates) in %zu folders under %s\n", r.filesWritten,
                r.nearDuplicates, r.folders.size(), params.out.c_str());
    if (r.listLines > 0) {
        std::printf("catalogue %s: %zu titles, %zu lines\n", params.listFile.c_str(), r.listTitles,
                    r.listLines);
    }
    if (!r.error.empty()) {
        std::fprintf(stderr, "mv-gen-collection: %s\n", r.error.c_str());
        return 1;
    }
    return 0;
}
