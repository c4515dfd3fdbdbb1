#include "media/sound_search.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "media/facts_cache.h"

namespace mv {

namespace {

struct Slot {
    std::string path;
    FileKey key;
    bool keyed = false;
    std::optional<SoundPrint> print;
    std::string problem;
    bool fresh = false;  // printed now: to be stored
};

class Search {
  public:
    explicit Search(const SoundSearchParams& params) : params_(params) {}
    SoundSearchResult Run();
    SoundPrintsResult Prints();

  private:
    bool Gather(std::string& cacheProblem);
    void MakeSlots();
    void LookUp(FactsCache& cache);
    bool PrintMissing();
    void Work(const std::vector<std::size_t>& todo);
    bool Going(std::size_t done);
    void Compare(SoundSearchResult& result);
    SoundPair PairOf(std::size_t earlier, std::size_t later, double similarity) const;

    const SoundSearchParams& params_;
    std::vector<Slot> slots_;
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> finished_{0};
    std::atomic<bool> stop_{false};
};

void Search::MakeSlots() {
    std::unordered_map<std::string, bool> seen;
    for (const std::string& path : params_.paths) {
        if (seen.emplace(path, true).second) slots_.push_back(Slot{path, {}, false, {}, {}, false});
    }
}

void Search::LookUp(FactsCache& cache) {
    for (Slot& slot : slots_) {
        FileKey key;
        if (!StatFileKey(slot.path, &key)) continue;
        slot.print = cache.LookupPrint(slot.path, key);
        if (!slot.print) continue;
        slot.key = key;
        slot.keyed = true;
    }
}

bool Search::Going(std::size_t done) {
    if (params_.stop != nullptr && params_.stop->load()) stop_ = true;
    if (!stop_ && params_.progress && !params_.progress(done, slots_.size())) stop_ = true;
    return !stop_;
}

void Search::Work(const std::vector<std::size_t>& todo) {
    while (!stop_.load(std::memory_order_relaxed)) {
        const std::size_t i = next_.fetch_add(1);
        if (i >= todo.size()) break;
        Slot& slot = slots_[todo[i]];
        SoundPrintResult read = ReadSoundPrint({slot.path});
        slot.key = read.key;
        slot.keyed = read.keyed;
        if (read.status == SoundPrintStatus::Printed) {
            slot.print = std::move(read.print);
            slot.fresh = true;
        } else {
            slot.problem = std::move(read.problem);
        }
        finished_.fetch_add(1);
    }
}

// Prints what the cache did not have on the worker threads, reporting about
// every 100 ms; false when stopped.
bool Search::PrintMissing() {
    std::vector<std::size_t> todo;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].print) todo.push_back(i);
    }
    const std::size_t before = slots_.size() - todo.size();
    if (!Going(before) || todo.empty()) return !stop_;
    unsigned threads = params_.threads > 0 ? static_cast<unsigned>(params_.threads)
                                           : std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, todo.size()));
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back([&] { Work(todo); });
    while (finished_ < todo.size() && Going(before + finished_)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (std::thread& worker : workers) worker.join();
    return !stop_ && Going(before + finished_);
}

SoundPair Search::PairOf(std::size_t earlier, std::size_t later, double similarity) const {
    const Slot& e = slots_[earlier];
    const Slot& l = slots_[later];
    // The smaller file goes (a lower bitrate, a cut copy); of one size the
    // file met first stays, as the search by names has it.
    const bool earlierGoes = e.key.size < l.key.size;
    return earlierGoes ? SoundPair{e.path, l.path, similarity}
                       : SoundPair{l.path, e.path, similarity};
}

void Search::Compare(SoundSearchResult& result) {
    // One file reached by several paths is printed once but indexed once:
    // the first path met stands for it.
    std::map<std::tuple<std::uint64_t, std::uint64_t, std::int64_t>, std::size_t> files;
    std::vector<std::size_t> slotOf;
    std::vector<const std::vector<std::uint32_t>*> prints;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        if (!slot.print) {
            result.passedOver.push_back({slot.path, slot.problem});
            continue;
        }
        ++result.printed;
        const auto id = std::make_tuple(slot.key.inode, slot.key.size, slot.key.mtimeNs);
        if (!files.emplace(id, i).second) continue;
        slotOf.push_back(i);
        prints.push_back(&slot.print->items);
    }
    const auto candidates = SoundCandidates(prints, params_.index);
    result.candidates = candidates.size();
    for (const auto& [a, b] : candidates) {
        if (params_.stop != nullptr && params_.stop->load()) {
            result.stopped = true;
            result.pairs.clear();
            return;
        }
        const double similarity = ComparePrints(*prints[a], *prints[b]).similarity;
        if (similarity >= params_.minSimilarity) {
            result.pairs.push_back(PairOf(slotOf[a], slotOf[b], similarity));
        }
    }
}

// Prints what the cache lacks and stores it; false when stopped.
bool Search::Gather(std::string& cacheProblem) {
    MakeSlots();
    std::optional<FactsCache> cache;
    if (!params_.cacheFile.empty()) {
        cache.emplace(params_.cacheFile);
        cacheProblem = cache->Problem();
        if (!cache->Usable()) cache.reset();
    }
    if (cache) LookUp(*cache);
    const bool done = PrintMissing();
    if (cache) {
        std::vector<PrintEntry> entries;
        for (const Slot& slot : slots_) {
            if (slot.fresh && slot.keyed) entries.push_back({slot.path, slot.key, *slot.print});
        }
        if (!cache->StorePrints(entries)) cacheProblem = cache->Problem();
    }
    return done;
}

SoundSearchResult Search::Run() {
    SoundSearchResult result;
    result.stopped = !Gather(result.cacheProblem);
    if (!result.stopped) Compare(result);
    return result;
}

SoundPrintsResult Search::Prints() {
    SoundPrintsResult result;
    result.stopped = !Gather(result.cacheProblem);
    for (Slot& slot : slots_) {
        if (slot.print) {
            result.prints.emplace(slot.path, std::move(*slot.print));
        } else if (!slot.problem.empty()) {
            result.passedOver.push_back({slot.path, slot.problem});
        }
    }
    return result;
}

}  // namespace

SoundSearchResult FindSameSound(const SoundSearchParams& params) {
    // Never a failure: a fault in the machinery ends the search as stopped.
    try {
        return Search(params).Run();
    } catch (const std::exception& e) {
        SoundSearchResult result;
        result.stopped = true;
        result.cacheProblem = e.what();
        return result;
    }
}

SoundPrintsResult GatherSoundPrints(const SoundSearchParams& params) {
    try {
        return Search(params).Prints();
    } catch (const std::exception& e) {
        SoundPrintsResult result;
        result.stopped = true;
        result.cacheProblem = e.what();
        return result;
    }
}

std::optional<double> SoundSimilarityOf(const std::string& a, const std::string& b,
                                        const std::filesystem::path& cacheFile) {
    std::optional<FactsCache> cache;
    if (!cacheFile.empty()) cache.emplace(cacheFile);
    auto printOf = [&](const std::string& path) -> std::optional<SoundPrint> {
        FileKey key;
        if (cache && StatFileKey(path, &key)) {
            if (auto stored = cache->LookupPrint(path, key)) return stored;
        }
        SoundPrintResult read = ReadSoundPrint({path});
        if (read.status != SoundPrintStatus::Printed) return std::nullopt;
        if (cache && read.keyed) cache->StorePrints({{path, read.key, read.print}});
        return std::move(read.print);
    };
    const auto left = printOf(a);
    const auto right = left ? printOf(b) : std::nullopt;
    if (!right) return std::nullopt;
    return ComparePrints(left->items, right->items).similarity;
}

}  // namespace mv
