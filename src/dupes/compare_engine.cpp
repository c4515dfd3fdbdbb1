#include "dupes/compare_engine.h"

#include <chrono>
#include <limits>
#include <thread>

#include "dupes/compare_gathering.h"
#include "dupes/compare_loops.h"
#include "dupes/list_locations.h"
#include "dupes/name_matcher.h"

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
    return std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
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

    CompareSetup setup;
    setup.mode = params.mode;
    setup.percent = *percent;
    const bool walksList = params.mode != kModeFolderVsItself;

    // The files (or the search text): `second` of every pair test.
    std::vector<std::string> names;
    if (params.mode == kModeSearchList) {
        setup.searchText = params.searchText;
        names.push_back(params.searchText);
    } else {
        GatheredFiles gathered = GatherFiles(params.folders, params.ext);
        result.foldersPassedOver = std::move(gathered.foldersPassedOver);
        names = std::move(gathered.names);
        setup.paths = std::move(gathered.paths);
    }
    if (names.empty()) {
        result.messages.push_back("This Directory contains no " + params.ext + "s!");
        return result;
    }

    // The references: the files themselves, or the lines of the list.
    std::optional<ListLocations> locations;
    if (!walksList) {
        setup.refs.reserve(names.size());
        for (const auto& name : names) setup.refs.push_back(Prepare(name));
        setup.passOver.assign(names.size(), 0);
        const uint64_t n = names.size();
        control.pairsTotal = n * (n - 1) / 2;
    } else if (!params.listLines || params.listLines->empty()) {
        control.stopRequested = true;
        result.messages.push_back("You don't have any list!!");
    } else {
        const auto& lines = *params.listLines;
        setup.lines = &lines;
        for (const auto& name : names) setup.probes.push_back(Prepare(name));
        setup.refs.resize(lines.size());
        setup.passOver.resize(lines.size());
        for (size_t j = 0; j < lines.size(); ++j) {
            setup.passOver[j] = IsListControlLine(lines[j]);
            if (!setup.passOver[j]) setup.refs[j] = Prepare(lines[j]);
        }
        locations = ListLocations::Compute(lines);
        control.pairsTotal = static_cast<uint64_t>(names.size()) * lines.size();
    }

    RowSink sink(params.onRows, result.rows);
    if (!control.stopRequested.load()) {
        // A list without any CD marker carries a different location into every
        // walk; only the plain loop follows that. A single search text costs
        // less to test against every line than to build an index for.
        if (params.exhaustive || (walksList && !locations) || params.mode == kModeSearchList) {
            RunPlainLoop(setup, sink, control);
        } else {
            RunIndexedLoop(setup, locations ? &*locations : nullptr,
                           ChooseThreads(params.threads, control.pairsTotal), sink, control);
        }
    }
    sink.Flush();

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
