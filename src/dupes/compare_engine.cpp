#include "dupes/compare_engine.h"

#include <chrono>
#include <limits>
#include <new>
#include <stdexcept>
#include <thread>

#include "catalogue/list_line.h"
#include "catalogue/list_location.h"
#include "dupes/compare_gathering.h"
#include "dupes/compare_loops.h"
#include "dupes/list_index_file.h"
#include "dupes/name_matcher.h"
#include "platform/work_split.h"

namespace mv {
namespace {

// Below this many pair tests a second thread costs more than it saves.
constexpr uint64_t kPairsWorthAThread = 200000;

PreparedName Prepare(const std::string& raw) {
    return PrepareName(NormalizeName(raw));
}

unsigned ChooseThreads(unsigned requested, uint64_t pairs) {
    if (requested > 0) return requested;
    if (pairs < kPairsWorthAThread) return 1;
    return DefaultWorkThreads();
}

// Names prepared per batch of work; below two batches one thread does it all.
constexpr size_t kNamesPerBatch = 2048;

// The prepared form of name(k) for k < count, side by side on the run's
// threads; name(k) is asked from any of them. Where `passOver` is given, the
// names it marks are left empty.
template <typename Name>
std::vector<PreparedName> PrepareAll(size_t count, const Name& name, unsigned requestedThreads,
                                     const std::vector<char>* passOver = nullptr) {
    std::vector<PreparedName> prepared(count);
    const unsigned threads = requestedThreads > 0         ? requestedThreads
                             : count < 2 * kNamesPerBatch ? 1
                                                          : DefaultWorkThreads();
    SplitWork(count, threads, kNamesPerBatch, [&](size_t begin, size_t end) {
        for (size_t k = begin; k < end; ++k) {
            if (passOver == nullptr || !(*passOver)[k]) prepared[k] = Prepare(name(k));
        }
    });
    return prepared;
}

// The folder where the list's index is kept for this run; empty: none. A
// search builds it once too: every later search of the same list then reads
// a few titles instead of preparing all of them.
std::filesystem::path KeptIndexFolder(const CompareParams& params, size_t lineCount, int percent) {
    if (params.mode == kModeFolderVsItself || params.exhaustive || percent <= 0 || percent >= 102) {
        return {};
    }
    if (params.listIndexFolder) return *params.listIndexFolder;
    return lineCount >= kListLinesWorthKeeping ? DefaultListIndexFolder() : std::filesystem::path();
}

// The list's references: the index kept by an earlier run of the same lines
// at the same percentage, or else the prepared titles, whose index is then
// built here and kept for the next run. A cache that cannot be read or
// written only means building; it never fails the run.
void PrepareListRefs(const CompareParams& params, const std::vector<std::string>& lines,
                     CompareSetup& setup) {
    const std::filesystem::path folder = KeptIndexFolder(params, lines.size(), setup.percent);
    std::optional<ListKey> key;
    std::filesystem::path file;
    if (!folder.empty()) {
        key = KeyOfLines(lines);
        file = ListIndexFile(folder, setup.percent);
        setup.index = ReadListIndex(file, *key, lines.size(), setup.percent);
        if (setup.index) return;
    }
    setup.refs = PrepareAll(
        lines.size(), [&](size_t j) -> const std::string& { return lines[j]; }, params.threads,
        &setup.passOver);
    if (!key) return;
    const unsigned threads = params.threads > 0 ? params.threads : DefaultWorkThreads();
    std::shared_ptr<const CandidateIndex> built =
        CandidateIndex::Build(setup.refs, setup.percent, threads);
    uint64_t listBytes = 0;
    for (const std::string& line : lines) listBytes += line.size() + 2;
    // The index gives the few references the pair tests ask for: the prepared
    // titles go before the index is written out, so the two never peak together.
    std::vector<PreparedName>().swap(setup.refs);
    WriteListIndex(file, *built, *key, lines.size(), setup.percent, 4 * listBytes);
    setup.index = std::move(built);
}

}  // namespace

std::optional<int> ParsePercent(const std::string& text) {
    size_t k = 0;
    while (k < text.size() && text[k] == ' ') ++k;
    bool negative = false;
    if (k < text.size() && (text[k] == '-' || text[k] == '+')) negative = text[k++] == '-';
    const size_t digitsStart = k;
    long long value = 0;
    for (; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k) {
        value = value * 10 + (text[k] - '0');
        if (value > std::numeric_limits<int>::max()) return std::nullopt;
    }
    if (k == digitsStart) return std::nullopt;
    while (k < text.size() && text[k] == ' ') ++k;
    if (k != text.size()) return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

std::string FormatResultText(uint64_t rowCount, uint64_t elapsedMs) {
    std::string seconds = std::to_string(elapsedMs / 1000);
    std::string fraction = std::to_string(elapsedMs % 1000 + 1000).substr(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) seconds += "." + fraction;
    return std::to_string(rowCount) + " result" + (rowCount > 1 ? "s" : "") + " in " + seconds +
           " seconds";
}

namespace {

// The files (or the search text): `second` of every pair test. Returns how
// many there are.
size_t GatherProbes(const CompareParams& params, std::optional<GatheredFiles>& gathered,
                    CompareSetup& setup, CompareResult& result) {
    if (params.mode == kModeSearchList) {
        setup.searchText = params.searchText;
        return 1;
    }
    if (params.listedFolders) {
        gathered.emplace(*params.listedFolders);
    } else {
        gathered.emplace(params.folders, params.ext);
    }
    result.foldersPassedOver.insert(result.foldersPassedOver.end(),
                                    gathered->FoldersPassedOver().begin(),
                                    gathered->FoldersPassedOver().end());
    setup.files = &*gathered;
    return gathered->Count();
}

// Gathers, prepares and compares, handing rows to `sink`. False when there was
// nothing to compare (no files); then no result text is given.
bool Compare(const CompareParams& params, int percent, RowSink& sink, CompareResult& result,
             CompareControl& control) {
    CompareSetup setup;
    std::optional<ListLocations> locations;
    setup.mode = params.mode;
    setup.percent = percent;
    const bool walksList = params.mode != kModeFolderVsItself;

    std::optional<GatheredFiles> gathered;
    const size_t count = GatherProbes(params, gathered, setup, result);
    if (count == 0) {
        result.messages.push_back("This Directory contains no " + params.ext + "s!");
        return false;
    }
    const auto name = [&](size_t k) -> const std::string& {
        return gathered ? gathered->Name(k) : params.searchText;
    };
    std::optional<FileSizes> sizes;

    // The references: the files themselves, or the lines of the list.
    if (!walksList) {
        setup.refs = PrepareAll(count, name, params.threads);
        setup.passOver.assign(count, 0);
        setup.facts = ReadFileFacts(*gathered);
        setup.sizes = &sizes.emplace(count);
        const uint64_t n = count;
        control.pairsTotal = n * (n - 1) / 2;
    } else if (!params.listLines || params.listLines->empty()) {
        control.stopRequested = true;
        result.messages.push_back("You don't have any list!!");
    } else {
        const auto& lines = *params.listLines;
        setup.lines = &lines;
        setup.probes = PrepareAll(count, name, params.threads);
        setup.passOver.resize(lines.size());
        for (size_t j = 0; j < lines.size(); ++j) setup.passOver[j] = IsListControlLine(lines[j]);
        PrepareListRefs(params, lines, setup);
        setup.locations = &locations.emplace(lines);
        control.pairsTotal = static_cast<uint64_t>(count) * lines.size();
    }

    if (!control.stopRequested.load()) {
        // A single search text costs less to test against every line than to
        // build an index for, unless the index is kept.
        if (params.exhaustive || (params.mode == kModeSearchList && !setup.index)) {
            RunPlainLoop(setup, sink, control);
        } else {
            RunIndexedLoop(setup, ChooseThreads(params.threads, control.pairsTotal), sink, control);
        }
    }
    sink.Flush();
    return true;
}

}  // namespace

CompareResult RunCompare(const CompareParams& params, CompareControl& control) {
    CompareResult result;
    const std::optional<int> percent = ParsePercent(params.percentText);
    if (!percent) {
        result.percentRefused = true;
        result.messages.push_back(kPercentNotWholeMessage);
        return result;
    }
    const auto start = std::chrono::steady_clock::now();
    control.pairsDone = 0;
    control.pairsTotal = 0;
    result.foldersPassedOver = params.foldersPassedOver;

    RowSink sink(params.onRows, result.rows);
    bool compared = true;
    try {
        compared = Compare(params, *percent, sink, result, control);
    } catch (const std::bad_alloc&) {
        result.outOfMemory = true;
    } catch (const std::length_error&) {
        result.outOfMemory = true;  // a string or table past its largest size
    }
    // By now the run's tables are freed, so there is memory for the report.
    if (result.outOfMemory) {
        control.stopRequested = true;
        try {
            sink.Flush();
        } catch (const std::bad_alloc&) {
            sink.DropPending();
        }
        result.messages.push_back(kOutOfMemoryMessage);
    }
    if (!compared) return result;

    result.rowCount = sink.Count();
    result.cancelled = control.stopRequested.load();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    result.resultText = FormatResultText(result.rowCount, static_cast<uint64_t>(elapsed.count()));
    if (result.cancelled) {
        result.messages.push_back("Comparison Cancelled");
    } else if (params.mode != kModeSearchList) {
        result.messages.push_back("Comparison finished");
    }
    return result;
}

}  // namespace mv
