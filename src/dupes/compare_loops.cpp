#include "dupes/compare_loops.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "dupes/candidate_index.h"

namespace mv {
namespace {

constexpr size_t kBatchRows = 512;
constexpr auto kBatchDelay = std::chrono::milliseconds(100);

bool PairMatches(const CompareSetup& s, size_t probe, size_t ref) {
    if (s.passOver[ref]) return false;
    const PreparedName& first = s.refs[ref];
    const PreparedName& second = s.Probes()[probe];
    // A side without words would find partners for all of its none: an empty
    // ban entry would mark every file, an empty search would find every title.
    if (s.percent == 100 && first.words.empty()) return false;
    if (s.percent == 101 && second.words.empty()) return false;
    return PreparedNamesMatch(first, second, s.percent);
}

// The smaller file goes left; of two equal (or unreadable) sizes, the later file.
CompareRow PairRow(const std::string& earlier, const std::string& later) {
    std::error_code ecEarlier, ecLater;
    uintmax_t sizeEarlier = std::filesystem::file_size(earlier, ecEarlier);
    uintmax_t sizeLater = std::filesystem::file_size(later, ecLater);
    if (ecEarlier || ecLater) sizeEarlier = sizeLater = 0;
    if (sizeEarlier < sizeLater) return {earlier, later};
    return {later, earlier};
}

CompareRow MakeRow(const CompareSetup& s, size_t probe, size_t ref, const std::string& location) {
    switch (s.mode) {
        case kModeFolderVsItself:
            return PairRow(s.paths[probe], s.paths[ref]);
        case kModeSearchList:
            return {"Search\\" + s.searchText, location + "/" + (*s.lines)[ref]};
        default:
            return {s.paths[probe], location + "/" + (*s.lines)[ref]};
    }
}

bool Stopped(const CompareControl& control) {
    return control.stopRequested.load(std::memory_order_relaxed);
}

// A run of consecutive probes, compared as one piece of work.
struct Chunk {
    size_t begin = 0;
    size_t end = 0;
    std::vector<CompareRow> rows;
    bool done = false;
};

std::vector<Chunk> SplitIntoChunks(const CompareSetup& s) {
    const size_t n = s.Probes().size();
    const uint64_t refs = s.refs.size();
    uint64_t total = 0;
    for (size_t i = 0; i < n; ++i) total += refs - std::min<uint64_t>(refs, s.FirstRef(i));
    const uint64_t target = std::max<uint64_t>(total / 256, 4096);
    std::vector<Chunk> chunks;
    uint64_t pairs = 0;
    size_t begin = 0;
    for (size_t i = 0; i < n; ++i) {
        pairs += refs - std::min<uint64_t>(refs, s.FirstRef(i));
        if (pairs >= target || i + 1 == n) {
            chunks.push_back(Chunk{begin, i + 1, {}, false});
            begin = i + 1;
            pairs = 0;
        }
    }
    return chunks;
}

void CompareChunk(const CompareSetup& s, const CandidateIndex& index,
                  const ListLocations* locations, Chunk& chunk, CompareControl& control) {
    const size_t refs = s.refs.size();
    std::vector<uint32_t> candidates;
    for (size_t i = chunk.begin; i < chunk.end; ++i) {
        if (Stopped(control)) return;
        const size_t from = std::min(s.FirstRef(i), refs);
        candidates.clear();
        index.Candidates(s.Probes()[i], static_cast<uint32_t>(from), candidates);
        for (const uint32_t j : candidates) {
            if (PairMatches(s, i, j)) {
                static const std::string kNoLocation;
                const std::string& location =
                    locations ? locations->Before(j, i == 0) : kNoLocation;
                chunk.rows.push_back(MakeRow(s, i, j, location));
            }
            if (Stopped(control)) return;
        }
        control.pairsDone.fetch_add(refs - from, std::memory_order_relaxed);
    }
}

}  // namespace

void RowSink::Add(CompareRow&& row) {
    ++count_;
    pending_.push_back(std::move(row));
    if (pending_.size() >= kBatchRows) Flush();
}

void RowSink::AddAll(std::vector<CompareRow>&& rows) {
    for (auto& row : rows) Add(std::move(row));
    MaybeFlush();
}

void RowSink::MaybeFlush() {
    if (!pending_.empty() && std::chrono::steady_clock::now() - lastFlush_ >= kBatchDelay) Flush();
}

void RowSink::Flush() {
    lastFlush_ = std::chrono::steady_clock::now();
    if (pending_.empty()) return;
    if (onRows_) {
        std::vector<CompareRow> batch;
        batch.swap(pending_);
        onRows_(std::move(batch));
    } else {
        kept_.insert(kept_.end(), std::make_move_iterator(pending_.begin()),
                     std::make_move_iterator(pending_.end()));
        pending_.clear();
    }
}

void RunPlainLoop(const CompareSetup& s, RowSink& sink, CompareControl& control) {
    const bool walksList = s.mode != kModeFolderVsItself;
    std::string location = walksList ? s.lines->front() : std::string();
    for (size_t i = 0; i < s.Probes().size(); ++i) {
        for (size_t j = s.FirstRef(i); j < s.refs.size(); ++j) {
            if (PairMatches(s, i, j)) sink.Add(MakeRow(s, i, j, location));
            if (walksList) AdvanceListLocation(location, (*s.lines)[j]);
            control.pairsDone.fetch_add(1, std::memory_order_relaxed);
            if (Stopped(control)) return;
        }
        sink.MaybeFlush();
    }
}

void RunIndexedLoop(const CompareSetup& s, const ListLocations* locations, unsigned threads,
                    RowSink& sink, CompareControl& control) {
    const auto index = CandidateIndex::Build(s.refs, s.percent);
    std::vector<Chunk> chunks = SplitIntoChunks(s);

    // Chunks are taken in order by whichever thread is free; finished chunks
    // are handed on strictly in order, so rows keep the plain loop's order.
    std::mutex mutex;
    size_t nextToTake = 0;
    size_t nextToDeliver = 0;
    auto work = [&] {
        for (;;) {
            size_t c;
            {
                std::lock_guard lock(mutex);
                if (nextToTake == chunks.size() || Stopped(control)) return;
                c = nextToTake++;
            }
            CompareChunk(s, *index, locations, chunks[c], control);
            std::lock_guard lock(mutex);
            chunks[c].done = true;
            while (nextToDeliver < chunks.size() && chunks[nextToDeliver].done) {
                sink.AddAll(std::move(chunks[nextToDeliver].rows));
                ++nextToDeliver;
            }
        }
    };

    threads =
        std::clamp<unsigned>(threads, 1, static_cast<unsigned>(std::max<size_t>(1, chunks.size())));
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    helpers.clear();  // joins

    // After a stop, whatever the chunks found is kept, still in order.
    for (; nextToDeliver < chunks.size(); ++nextToDeliver) {
        sink.AddAll(std::move(chunks[nextToDeliver].rows));
    }
}

}  // namespace mv
