// mv-bench-compare: times whole comparisons (listing the folders included) on
// generated collections, against the plain all-pairs loop.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "child_run.h"
#include "collection_generator.h"
#include "dupes/compare_engine.h"
#include "platform/folder_listing.h"
#include "platform/text_lines.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    size_t scale = 1;  // --quick divides every size by 10
    unsigned threads = 0;
    fs::path work;
    bool keep = false;
    bool reuse = false;  // take collections left by an earlier --keep run
};

struct Dataset {
    std::string name;
    size_t files;
    size_t titles;  // 0: no catalogue
    uint32_t seed;
    fs::path Root(const Options& o) const { return o.work / name; }
    fs::path List(const Options& o) const { return o.work / (name + "-Mp3List.txt"); }
};

struct Timing {
    bool ok = false;
    double seconds = 0;         // the whole comparison
    double listingSeconds = 0;  // of which collecting the folders
    double cpuSeconds = 0;
    uint64_t rows = 0;
    uint64_t pairs = 0;
    long peakMiB = 0;
    std::string rowsDigest;
};

// One comparison as the program runs it: collect the folders below the root,
// read the catalogue (mode 1), compare.
mv::CompareResult Compare(const Dataset& d, const Options& o, mv::CompareMode mode, bool exhaustive,
                          mv::CompareControl& control, double& listingSeconds) {
    const auto start = std::chrono::steady_clock::now();
    mv::CompareParams params;
    params.mode = mode;
    params.folders = mv::CollectFolders(d.Root(o).string(), "Mp3").folders;
    listingSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    params.percentText = "80";
    params.exhaustive = exhaustive;
    params.threads = o.threads;
    if (mode == mv::kModeFolderVsList) params.listLines = mv::ReadLines(d.List(o));
    return mv::RunCompare(params, control);
}

// Rows in order, folded into one number: equal digests mean equal results.
std::string Digest(const mv::CompareResult& r) {
    uint64_t h = 1469598103934665603ULL;
    for (const auto& row : r.rows) {
        for (const std::string* s : {&row.left, &row.right}) {
            for (unsigned char c : *s) h = (h ^ c) * 1099511628211ULL;
            h = (h ^ 0xFF) * 1099511628211ULL;
        }
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

Timing Time(const Dataset& d, const Options& o, mv::CompareMode mode, bool exhaustive) {
    const mv::ChildOutcome out = mv::RunInChild([&] {
        mv::CompareControl control;
        const auto start = std::chrono::steady_clock::now();
        double listing = 0;
        const mv::CompareResult r = Compare(d, o, mode, exhaustive, control, listing);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::ostringstream s;
        s << took.count() << ' ' << listing << ' ' << r.rowCount << ' ' << control.pairsTotal.load()
          << ' ' << Digest(r);
        return s.str();
    });
    Timing t;
    std::istringstream in(out.output);
    t.ok = out.ok && static_cast<bool>(in >> t.seconds >> t.listingSeconds >> t.rows >> t.pairs >>
                                       t.rowsDigest);
    t.peakMiB = out.peakRssKiB / 1024;
    t.cpuSeconds = out.cpuSeconds;
    return t;
}

bool Generate(const Dataset& d, const Options& o) {
    if (o.reuse && fs::exists(d.Root(o)) && (d.titles == 0 || fs::exists(d.List(o)))) return true;
    std::printf("generating %s: %zu files%s...\n", d.name.c_str(), d.files,
                d.titles ? (", " + std::to_string(d.titles) + " titles").c_str() : "");
    const mv::ChildOutcome out = mv::RunInChild([&] {
        mv::CollectionParams p;
        p.plan.files = d.files;
        p.plan.seed = d.seed;
        p.plan.listTitles = d.titles;
        p.out = d.Root(o);
        if (d.titles) p.listFile = d.List(o);
        const mv::CollectionResult r = mv::GenerateCollection(p);
        return r.error.empty() ? std::string("ok") : r.error;
    });
    if (!out.ok || out.output != "ok") {
        std::fprintf(stderr, "generation failed: %s\n", out.output.c_str());
        return false;
    }
    return true;
}

void PrintRow(const char* what, const Timing& t, const char* target, double plainNsPerPair) {
    if (!t.ok) {
        std::printf("%-44s  FAILED\n", what);
        return;
    }
    const double plain = plainNsPerPair * static_cast<double>(t.pairs) / 1e9;
    std::printf("%-44s %14llu %8.2f %8.2f %8.2f %8ld %8llu  %-16s %11.0f %9.0fx\n", what,
                static_cast<unsigned long long>(t.pairs), t.seconds, t.listingSeconds, t.cpuSeconds,
                t.peakMiB, static_cast<unsigned long long>(t.rows), target, plain,
                t.seconds > 0 ? plain / t.seconds : 0.0);
}

const char kUsage[] =
    "usage: mv-bench-compare [--quick] [--threads N] [--work DIR] [--keep | --reuse]\n"
    "  --quick      every collection a tenth of its size (a smoke run)\n"
    "  --threads N  threads of the narrowed comparison (0: the engine's choice)\n"
    "  --work DIR   where the collections go (default: a new folder in /tmp)\n"
    "  --keep       leave the collections there afterwards\n"
    "  --reuse      use the collections a --keep run left in --work DIR (and keep them)\n";

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (arg == "--quick") {
            o.scale = 10;
        } else if (arg == "--keep") {
            o.keep = true;
        } else if (arg == "--reuse") {
            o.reuse = o.keep = true;
        } else if (arg == "--threads" && k + 1 < argc) {
            o.threads = static_cast<unsigned>(std::strtoul(argv[++k], nullptr, 10));
        } else if (arg == "--work" && k + 1 < argc) {
            o.work = argv[++k];
        } else {
            std::fputs(kUsage, arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
    }
    if (o.work.empty()) {
        char tmpl[] = "/tmp/mv-bench-XXXXXX";
        if (!mkdtemp(tmpl)) {
            std::perror("mkdtemp");
            return 1;
        }
        o.work = tmpl;
    }
    const size_t s = o.scale;
    const Dataset plain2{"plain-10k", 10000 / s, 0, 10};
    const Dataset plain1{"plain-1k-vs-10k", 1000 / s, 10000 / s, 11};
    const Dataset d50k{"files-50k", 50000 / s, 0, 50};
    const Dataset d200k{"files-200k", 200000 / s, 0, 200};
    const Dataset d20k{"files-20k-vs-200k", 20000 / s, 200000 / s, 20};
    for (const Dataset* d : {&plain2, &plain1, &d50k, &d200k, &d20k}) {
        if (!Generate(*d, o)) return 1;
    }

    // The plain loop's cost per pair test, measured on small sets; its cost
    // grows with the number of pairs, so pairs x cost estimates it elsewhere.
    const Timing p2 = Time(plain2, o, mv::kModeFolderVsItself, true);
    const Timing i2 = Time(plain2, o, mv::kModeFolderVsItself, false);
    const Timing p1 = Time(plain1, o, mv::kModeFolderVsList, true);
    const Timing i1 = Time(plain1, o, mv::kModeFolderVsList, false);
    const double ns2 = p2.ok && p2.pairs ? p2.seconds * 1e9 / static_cast<double>(p2.pairs) : 0;
    const double ns1 = p1.ok && p1.pairs ? p1.seconds * 1e9 / static_cast<double>(p1.pairs) : 0;

    std::printf("\n%-44s %14s %8s %8s %8s %8s %8s  %-16s %11s %10s\n", "case (80%)", "pair tests",
                "time s", "folders", "cpu s", "peak MiB", "rows", "target", "plain est s",
                "speed-up");
    PrintRow("plain loop, mode 2, 10k files", p2, "(reference)", ns2);
    PrintRow("narrowed,   mode 2, 10k files", i2, "", ns2);
    PrintRow("plain loop, mode 1, 1k files vs 10k titles", p1, "(reference)", ns1);
    PrintRow("narrowed,   mode 1, 1k files vs 10k titles", i1, "", ns1);
    PrintRow("narrowed,   mode 2, 50k files", Time(d50k, o, mv::kModeFolderVsItself, false),
             "< 2 s", ns2);
    PrintRow("narrowed,   mode 2, 200k files", Time(d200k, o, mv::kModeFolderVsItself, false),
             "< 10 s, < 1 GiB", ns2);
    PrintRow("narrowed,   mode 1, 20k files vs 200k titles",
             Time(d20k, o, mv::kModeFolderVsList, false), "< 5 s", ns1);
    std::printf("\nplain loop: %.1f ns per pair test in mode 2, %.1f in mode 1 (one thread)\n", ns2,
                ns1);
    std::printf("same rows from both loops: mode 2 %s, mode 1 %s\n",
                p2.rowsDigest == i2.rowsDigest ? "yes" : "NO",
                p1.rowsDigest == i1.rowsDigest ? "yes" : "NO");
    std::printf("narrowed loop threads: %s\n",
                o.threads ? std::to_string(o.threads).c_str() : "engine's choice");

    if (!o.keep) {
        std::error_code ec;
        fs::remove_all(o.work, ec);
    } else {
        std::printf("collections kept in %s\n", o.work.c_str());
    }
    return p2.rowsDigest == i2.rowsDigest && p1.rowsDigest == i1.rowsDigest ? 0 : 1;
}
