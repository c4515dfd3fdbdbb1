#include "media/facts_batch.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <thread>

#include "media/facts_cache.h"
#include "media/file_key.h"

namespace mv {

namespace {

// One slot per distinct path, filled from the cache or by a worker.
struct Slot {
    std::string path;
    MediaFacts facts;
    FileKey key;
    bool known = false;  // filled (from the cache or read now)
    bool fresh = false;  // read now: to be stored
};

class Batch {
  public:
    explicit Batch(const FactsBatchParams& params) : params_(params) {}
    FactsBatchResult Run();

  private:
    void MakeSlots();
    void LookUp(FactsCache& cache);
    std::vector<std::size_t> Missing(const std::vector<bool>& wanted, bool withHash) const;
    std::vector<bool> PairsToHash() const;
    bool Read(const std::vector<std::size_t>& todo, bool withHash);
    void Work(const std::vector<std::size_t>& todo, bool withHash);
    bool Report(std::size_t done);

    const FactsBatchParams& params_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> slotOf_;  // index into paths -> slot
    std::size_t total_ = 0;
    std::size_t doneBefore_ = 0;  // finished in earlier rounds
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> finished_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable allDone_;
};

void Batch::MakeSlots() {
    // Keyed by views of the caller's paths, which outlive the batch: no copy
    // of each path just to find the repeated ones.
    std::unordered_map<std::string_view, std::size_t> seen;
    seen.reserve(params_.paths.size());
    slots_.reserve(params_.paths.size());
    slotOf_.reserve(params_.paths.size());
    for (const std::string& path : params_.paths) {
        const auto [it, added] = seen.emplace(path, slots_.size());
        if (added) slots_.push_back(Slot{path, {}, {}, false, false});
        slotOf_.push_back(it->second);
    }
}

// Cache lookups stay on this thread: one connection, and a lookup by key
// costs a few microseconds, far below reading the file.
// A stored fact without its hash counts too: when a hash is wanted, only its
// audio range is read (Missing, Work).
void Batch::LookUp(FactsCache& cache) {
    for (Slot& slot : slots_) {
        FileKey key;
        if (!StatFileKey(slot.path, &key)) continue;
        auto facts = cache.Lookup(slot.path, key);
        if (!facts) continue;
        slot.facts = std::move(*facts);
        slot.key = key;
        slot.known = true;
    }
}

std::vector<std::size_t> Batch::Missing(const std::vector<bool>& wanted, bool withHash) const {
    std::vector<std::size_t> todo;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        if (!wanted[i]) continue;
        if (!slot.known) {
            todo.push_back(i);
        } else if (withHash && slot.facts.status == FactsStatus::Audio && !slot.facts.audioHash) {
            todo.push_back(i);
        }
    }
    return todo;
}

// Hash only what can be equal: both files of a pair are audio of one length.
std::vector<bool> Batch::PairsToHash() const {
    std::vector<bool> wanted(slots_.size(), false);
    for (const auto& [a, b] : params_.pairs) {
        if (a >= slotOf_.size() || b >= slotOf_.size()) continue;
        const Slot& left = slots_[slotOf_[a]];
        const Slot& right = slots_[slotOf_[b]];
        if (!left.known || !right.known || left.facts.status != FactsStatus::Audio ||
            right.facts.status != FactsStatus::Audio ||
            left.facts.audioLength != right.facts.audioLength) {
            continue;
        }
        wanted[slotOf_[a]] = true;
        wanted[slotOf_[b]] = true;
    }
    return wanted;
}

void Batch::Work(const std::vector<std::size_t>& todo, bool withHash) {
    while (!stop_.load(std::memory_order_relaxed)) {
        const std::size_t i = next_.fetch_add(1);
        if (i >= todo.size()) break;
        Slot& slot = slots_[todo[i]];
        // Facts known but not hashed: the range alone is read, unless the
        // file changed since, when it is read anew.
        if (withHash && slot.known && HashKnownAudio(slot.path, slot.key, slot.facts)) {
            slot.fresh = true;
        } else {
            slot.facts = ReadMediaFactsKeyed(slot.path, withHash, &slot.key);
            slot.fresh = slot.facts.status != FactsStatus::Unreadable;
        }
        slot.known = true;
        if (finished_.fetch_add(1) + 1 == todo.size()) {
            const std::lock_guard<std::mutex> lock(mutex_);
            allDone_.notify_all();
        }
    }
}

bool Batch::Report(std::size_t done) {
    if (params_.progress && !params_.progress(done, total_)) stop_ = true;
    return !stop_;
}

// Reads the slots of `todo` on the worker threads while this thread reports
// progress about every 100 ms; false when the caller stopped the batch.
bool Batch::Read(const std::vector<std::size_t>& todo, bool withHash) {
    // Once before the first file and once after the last, so a caller may
    // stop before anything is read and always sees the end.
    if (!Report(doneBefore_) || todo.empty()) return !stop_;
    next_ = 0;
    finished_ = 0;
    unsigned threads = params_.threads > 0 ? static_cast<unsigned>(params_.threads)
                                           : std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, todo.size()));
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back([&] { Work(todo, withHash); });
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (finished_ < todo.size() && !stop_) {
            allDone_.wait_for(lock, std::chrono::milliseconds(100));
            lock.unlock();
            Report(doneBefore_ + finished_);
            lock.lock();
        }
    }
    for (std::thread& worker : workers) worker.join();
    doneBefore_ += finished_;
    return !stop_ && Report(doneBefore_);
}

FactsBatchResult Batch::Run() {
    FactsBatchResult result;
    MakeSlots();
    std::optional<FactsCache> cache;
    if (!params_.cacheFile.empty()) {
        cache.emplace(params_.cacheFile);
        result.cacheProblem = cache->Problem();
        if (!cache->Usable()) cache.reset();
    }
    const bool hashAll = params_.hash == HashWhich::All;
    if (cache) LookUp(*cache);
    const std::vector<bool> everything(slots_.size(), true);
    const auto first = Missing(everything, hashAll);
    total_ = slots_.size();
    doneBefore_ = slots_.size() - first.size();
    bool going = Read(first, hashAll);
    if (going && params_.hash == HashWhich::PairsOfEqualLength) {
        const auto second = Missing(PairsToHash(), true);
        total_ += second.size();
        going = Read(second, true);
    }
    result.stopped = !going;
    std::vector<CacheEntry> entries;
    result.facts.reserve(slots_.size());
    for (Slot& slot : slots_) {
        if (cache && slot.fresh) entries.push_back(CacheEntry{slot.path, slot.key, slot.facts});
        if (slot.known) result.facts.emplace(std::move(slot.path), std::move(slot.facts));
    }
    if (cache && !cache->Store(entries)) result.cacheProblem = cache->Problem();
    return result;
}

std::filesystem::path HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/tmp";
}

}  // namespace

FactsBatchResult GatherFacts(const FactsBatchParams& params) {
    // Never a failure: a fault in the machinery gives what was gathered so far.
    try {
        return Batch(params).Run();
    } catch (const std::exception& e) {
        FactsBatchResult result;
        result.stopped = true;
        result.cacheProblem = e.what();
        return result;
    }
}

std::filesystem::path DefaultFactsCachePath() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const std::filesystem::path base = xdg != nullptr && std::filesystem::path(xdg).is_absolute()
                                           ? std::filesystem::path(xdg)
                                           : HomeFolder() / ".cache";
    return base / "mp3vandrel" / "facts.sqlite";
}

}  // namespace mv
