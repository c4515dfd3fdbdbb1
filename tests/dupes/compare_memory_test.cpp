#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

#include "dupes/compare_engine.h"
#include "support/core/temp_tree.h"

// Runs that must live within a memory limit. Each runs in a forked child whose
// address space is capped at its size plus some headroom, so that a run that
// needs far more dies there (or reports it) instead of swamping the machine.
namespace mv {
using test::TempTree;
namespace {

void LimitAddressSpace(size_t headroom) {
    size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = pages * static_cast<size_t>(sysconf(_SC_PAGESIZE)) + headroom;
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_AS, &cap);
}

constexpr size_t kMiB = 1024 * 1024;

// One CD, `depth` nested folders, one title, and the up entries back: about
// 540 KB at a depth of 30,000.
std::vector<std::string> DeepList(int depth) {
    std::vector<std::string> lines{"\\Mp3 List", "\\Deep"};
    for (int k = 0; k < depth; ++k) lines.push_back("/Folder" + std::to_string(k));
    lines.push_back("Deep Song.mp3");
    for (int k = 0; k < depth; ++k) lines.push_back("..");
    return lines;
}

std::string DeepLocation(int depth) {
    std::string location = "/Deep";
    for (int k = 0; k < depth; ++k) location += "/Folder" + std::to_string(k);
    return location + "/Deep Song.mp3";
}

TEST(CompareMemoryDeathTest, DeepListIsComparedAndSearchedWithinLittleMemory) {
    TempTree tree;
    const auto file = tree.File("Deep Song.mp3");
    constexpr int kDepth = 30000;
    CompareParams compare;
    compare.mode = kModeFolderVsList;
    compare.folders = {tree.Root()};
    compare.listLines = DeepList(kDepth);
    // The list's index is kept (and read back) within the limit too, here.
    compare.listIndexFolder = tree.Path("cache");
    CompareParams search;
    search.mode = kModeSearchList;
    search.searchText = "Deep Song";
    search.percentText = "101";
    search.listLines = compare.listLines;
    search.listIndexFolder = tree.Path("cache");
    const std::string location = DeepLocation(kDepth);

    EXPECT_EXIT(
        {
            // Every line keeping its whole location would take about 10 GB here.
            LimitAddressSpace(128 * kMiB);
            bool ok = true;
            for (bool exhaustive : {false, true}) {
                compare.exhaustive = exhaustive;
                CompareControl control;
                const CompareResult r = RunCompare(compare, control);
                ok = ok && r.rows.size() == 1 && r.rows[0].left == file &&
                     r.rows[0].right == location && !r.outOfMemory;
            }
            CompareControl control;
            const CompareResult r = RunCompare(search, control);
            ok = ok && r.rows.size() == 1 && r.rows[0].right == location && !r.outOfMemory;
            _exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Whether the run ends with the memory message and keeps the rows it found.
bool ReportsOutOfMemory(const CompareParams& params) {
    CompareControl control;
    const CompareResult r = RunCompare(params, control);
    const std::vector<std::string> messages{kOutOfMemoryMessage, "Comparison Cancelled"};
    return r.outOfMemory && r.cancelled && control.stopRequested && r.rows.size() == r.rowCount &&
           r.messages == messages && !r.resultText.empty();
}

TEST(CompareMemoryDeathTest, RunningOutOfMemoryIsReportedAndKeepsTheRowsFound) {
    TempTree tree;
    for (const char* folder : {"a", "b", "c"}) tree.File(std::string(folder) + "/Song.mp3");
    std::vector<std::string> lines{"\\Mp3 List", "\\CD"};
    for (int k = 0; k < 400000; ++k) lines.push_back("Song " + std::to_string(k) + ".mp3");
    CompareParams search;
    search.mode = kModeSearchList;
    search.searchText = "Song";
    search.percentText = "101";
    search.listLines = lines;
    search.listIndexFolder = tree.Path("cache");
    // Three files against every title: the indexed loop, on two threads.
    CompareParams compare;
    compare.mode = kModeFolderVsList;
    compare.folders = {tree.Path("a"), tree.Path("b"), tree.Path("c")};
    compare.percentText = "50";
    compare.listLines = std::move(lines);
    compare.listIndexFolder = tree.Path("cache");

    for (const CompareParams* params : {&search, &compare}) {
        EXPECT_EXIT(
            {
                LimitAddressSpace(24 * kMiB);
                _exit(ReportsOutOfMemory(*params) ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

}  // namespace
}  // namespace mv
