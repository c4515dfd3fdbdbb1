// mv-bench-ban: a ban list scan (mode 1 at 100 against the ban list's lines,
// folders collected with recursion) on a generated collection, timed as the
// user waits for it: reading the list, collecting the folders, listing their
// files and comparing. With --check the rows are compared with the plain
// all-pairs loop on the same data.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "collection_generator.h"
#include "dupes/compare_engine.h"
#include "filetools/ban_list.h"
#include "platform/folder_listing.h"
#include "platform/text_lines.h"
#include "song_names.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: mv-bench-ban [--files N] [--entries M] [--runs R] [--check] [--work DIR [--reuse]]\n"
    "  --files N    files in the collection (default 50000)\n"
    "  --entries M  ban entries (default 200)\n"
    "  --runs R     timed scans (default 3)\n"
    "  --check      also run the plain all-pairs loop and compare the rows\n"
    "  --work DIR   where the collection goes (default: a new folder in /tmp, removed after;\n"
    "               a folder given here is kept)\n"
    "  --reuse      scan what an earlier run left in --work DIR\n";

struct Options {
    size_t files = 50000;
    size_t entries = 200;
    int runs = 3;
    bool check = false;
    bool reuse = false;  // the collection and ban list a --work run left there
    fs::path work;
};

// Words of a name: runs of letters and digits, at least three long.
std::vector<std::string> WordsOf(const std::string& name) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : name.substr(0, name.rfind('.'))) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
        } else {
            if (word.size() >= 3) words.push_back(word);
            word.clear();
        }
    }
    if (word.size() >= 3) words.push_back(word);
    return words;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// What people ban: the usual version words, then words and word pairs of
// names in the collection that few files share (an artist, a title word) and
// that are not short enough to hide inside many other words;
// nobody bans THE.
std::vector<std::string> BanLines(const mv::CollectionPlan& plan, size_t entries) {
    std::vector<std::string> lines{"\\BANLIST"};
    const std::vector<std::string> usual = {
        "remix",    "live",       "karaoke version", "instrumental", "demo",
        "acapella", "radio edit", "remastered",      "bonus track",  "intro",
        "outro",    "skit",       "interlude",       "edit",         "mix",
        "cover",    "unplugged",  "rehearsal"};
    for (const auto& u : usual) {
        if (lines.size() > entries) break;
        lines.push_back(u);
    }
    std::map<std::string, size_t> filesWith;
    for (const auto& file : plan.files) {
        std::set<std::string> seen;
        for (const auto& w : WordsOf(file.name)) seen.insert(Lower(w));
        for (const auto& w : seen) ++filesWith[w];
    }
    const size_t rare = std::max<size_t>(1, plan.files.size() / 1000);  // under 0.1% of the files
    mv::Dice dice(11);
    std::set<std::string> taken(lines.begin(), lines.end());
    for (int tries = 0; lines.size() <= entries && tries < 1000000; ++tries) {
        const auto& file = plan.files[dice.Below(static_cast<uint32_t>(plan.files.size()))];
        std::vector<std::string> words;
        for (const auto& w : WordsOf(file.name)) {
            if (w.size() >= 5 && filesWith[Lower(w)] <= rare) words.push_back(w);
        }
        if (words.empty()) continue;
        const size_t k = dice.Below(static_cast<uint32_t>(words.size()));
        std::string entry = words[k];
        if (k + 1 < words.size() && dice.Chance(0.4)) entry += " " + words[k + 1];
        if (taken.insert(entry).second) lines.push_back(entry);
    }
    return lines;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// User and system time of the process: what the scan cost on a shared machine.
double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int Run(const Options& o) {
    const fs::path root = o.work / "collection";
    const fs::path ban = o.work / "BanList.txt";
    auto t = std::chrono::steady_clock::now();
    std::vector<std::string> lines;
    if (o.reuse) {
        lines = mv::ReadLines(ban).value_or(std::vector<std::string>{});
        std::printf("collection of an earlier run, %zu ban entries\n",
                    lines.empty() ? 0 : lines.size() - 1);
    } else {
        mv::CollectionParams gen;
        gen.plan.files = o.files;
        gen.plan.seed = 7;
        gen.out = root;
        const mv::CollectionResult written = mv::GenerateCollection(gen);
        if (!written.error.empty()) {
            std::fprintf(stderr, "%s\n", written.error.c_str());
            return 1;
        }
        lines = BanLines(mv::PlanCollection(gen.plan), o.entries);
        if (const std::string e = mv::WriteLinesAtomically(ban, lines); !e.empty()) {
            std::fprintf(stderr, "%s\n", e.c_str());
            return 1;
        }
        std::printf("collection: %zu files in %zu folders, %zu ban entries, written in %.1f s\n",
                    written.filesWritten, written.folders.size(), lines.size() - 1, Seconds(t));
    }

    mv::BanScanResult last;
    for (int r = 0; r < o.runs; ++r) {
        mv::BanScanParams params;
        params.banFile = ban;
        params.folder = root.string();
        mv::CompareControl control;
        t = std::chrono::steady_clock::now();
        const double cpu = CpuSeconds();
        last = mv::RunBanScan(params, control);
        std::printf("ban scan %d: %s, %llu pair tests, %.3f s (cpu %.3f s; target < 1 s)\n", r + 1,
                    last.compare.resultText.c_str(),
                    static_cast<unsigned long long>(control.pairsTotal.load()), Seconds(t),
                    CpuSeconds() - cpu);
    }
    if (!o.check) return 0;

    // The reference: every pair tested by the plain loop, same folders, same lines.
    mv::CompareParams plain;
    plain.mode = mv::kModeFolderVsList;
    plain.percentText = mv::kBanPercent;
    plain.folders = mv::CollectFolders(root.string(), "Mp3").folders;
    plain.listLines = lines;
    plain.exhaustive = true;
    mv::CompareControl control;
    t = std::chrono::steady_clock::now();
    const mv::CompareResult reference = mv::RunCompare(plain, control);
    std::printf("plain loop: %s, %.3f s\n", reference.resultText.c_str(), Seconds(t));
    bool same = reference.rows.size() == last.compare.rows.size();
    for (size_t k = 0; same && k < reference.rows.size(); ++k) {
        same = reference.rows[k].left == last.compare.rows[k].left &&
               reference.rows[k].right == last.compare.rows[k].right;
    }
    std::printf("rows %s\n", same ? "identical" : "DIFFER");
    return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--files" && k + 1 < argc) {
            o.files = std::strtoul(argv[++k], nullptr, 10);
        } else if (arg == "--entries" && k + 1 < argc) {
            o.entries = std::strtoul(argv[++k], nullptr, 10);
        } else if (arg == "--runs" && k + 1 < argc) {
            o.runs = std::atoi(argv[++k]);
        } else if (arg == "--check") {
            o.check = true;
        } else if (arg == "--reuse") {
            o.reuse = true;
        } else if (arg == "--work" && k + 1 < argc) {
            o.work = argv[++k];
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (o.reuse && o.work.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const bool temporary = o.work.empty();
    if (temporary) {
        char tmpl[] = "/tmp/mv-bench-ban-XXXXXX";
        if (mkdtemp(tmpl) == nullptr) return 1;
        o.work = tmpl;
    }
    const int rc = Run(o);
    if (temporary) {
        std::error_code ec;
        fs::remove_all(o.work, ec);
    }
    return rc;
}
