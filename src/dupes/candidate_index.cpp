#include "dupes/candidate_index.h"

#include <algorithm>
#include <bit>
#include <mutex>
#include <numeric>

#include "dupes/index_pair_bounds.h"
#include "dupes/index_postings.h"
#include "dupes/index_word_relation.h"
#include "platform/work_split.h"

namespace mv {
namespace {

// At 0 and below any two names with a word between them match: nothing to narrow.
class AllCandidates final : public CandidateIndex {
  public:
    explicit AllCandidates(uint32_t count) : count_(count) {}
    void Candidates(const PreparedName&, uint32_t from, std::vector<uint32_t>& out) const override {
        for (uint32_t j = from; j < count_; ++j) out.push_back(j);
    }

  private:
    uint32_t count_;
};

// At 102 and above nothing matches.
class NoCandidates final : public CandidateIndex {
  public:
    void Candidates(const PreparedName&, uint32_t, std::vector<uint32_t>&) const override {}
};

// Probe words beyond this many share the last bit of a coverage mask.
constexpr uint32_t kMaskBits = 64;

uint64_t PositionBit(size_t i) {
    return uint64_t{1} << std::min<size_t>(i, kMaskBits - 1);
}

// Number of probe words a mask stands for; the last bit stands for all the rest.
uint32_t CoveredCount(uint64_t mask, uint32_t n) {
    const uint64_t last = uint64_t{1} << (kMaskBits - 1);
    uint32_t count = static_cast<uint32_t>(std::popcount(mask & ~last));
    if (mask & last) count += n - (kMaskBits - 1);
    return count;
}

// Narrows by shared words. Each reference is filed under every word it holds
// (`all_`) and, separately, under its rarest words only (`rare_`), both
// grouped by the reference's word count. A pair that must pair k words has a
// paired reference word among any f - k + 1 of the reference's f words, and a
// paired probe word among any n - k + 1 of the probe's n words; the longer
// the reference, the larger k and the fewer words need asking. For each
// reference length the cheaper route gives the candidates, which are then
// checked against the number of words that could pair at best.
class WordIndex final : public CandidateIndex {
  public:
    WordIndex(const std::vector<PreparedName>& refs, int percent, unsigned threads);
    WordIndex(int percent, std::shared_ptr<const void> bytes)
        : percent_(percent), count_(0), bytes_(std::move(bytes)) {}
    void Candidates(const PreparedName& probe, uint32_t from,
                    std::vector<uint32_t>& out) const override;
    void CandidatesOfRef(uint32_t j, uint32_t from, std::vector<uint32_t>& out) const override;
    bool Save(BlobWriter& out) const override;
    bool Load(BlobReader& in);
    uint32_t Count() const override { return count_; }
    PreparedName Ref(uint32_t j) const override;

  private:
    std::span<const uint32_t> RefWords(uint32_t j) const {
        return {refWords_.data() + refOffsets_[j], refWords_.data() + refOffsets_[j + 1]};
    }

    // What a probe of n words asks of each reference length: the same for
    // every probe of that many words, so tabled once for the usual lengths.
    struct LengthTable {
        std::vector<uint32_t> probed;    // by length f < kTabledLengths: ProbedWords(f, n)
        std::vector<uint32_t> minPairs;  // by length f < kTabledLengths: MinPairs(f, n)
        std::vector<uint32_t> longest;   // by rank: the longest references it is asked for
        uint32_t mostProbed = 0;         // the most words any length asks for
    };
    // Working memory of one probe, sized to the index; kept between probes
    // (one per thread working at a time) so that a probe allocates nothing.
    struct Scratch {
        std::vector<uint64_t> mask;  // by word id: the probe words that match it
        std::vector<uint32_t> touched, matched, matchedEnd, order, rank, kept;
        const LengthTable* lengths = nullptr;    // the probe's, from tables_ or longProbe
        std::unique_ptr<LengthTable> longProbe;  // worked out for a long probe
        std::vector<Postings::Segment> probeSpans, rareSpans;
        std::vector<uint64_t> costProbe, costRare;
        std::vector<uint64_t> costAll;
        std::vector<Postings::Records> chosen;
        Postings::Arena allArena, rareArena;  // segments this thread lays out
    };
    class ScratchLease {
      public:
        explicit ScratchLease(const WordIndex& index) : index_(index) {
            std::lock_guard lock(index_.scratchMutex_);
            if (!index_.idle_.empty()) {
                scratch_ = std::move(index_.idle_.back());
                index_.idle_.pop_back();
            }
        }
        ~ScratchLease() {
            std::lock_guard lock(index_.scratchMutex_);
            index_.idle_.push_back(std::move(scratch_));
        }
        Scratch& Get() {
            if (!scratch_) {
                scratch_ = std::make_unique<Scratch>();
                scratch_->mask.assign(index_.words_.Size(), 0);
            }
            return *scratch_;
        }

      private:
        const WordIndex& index_;
        std::unique_ptr<Scratch> scratch_;
    };

    // The phases of Candidates, in order; their working memory is `s`. The
    // probe's words are marked from its text or, for a reference, its ids.
    void MarkProbeWords(const PreparedName& probe, Scratch& s) const;
    void MarkRefWords(uint32_t j, Scratch& s) const;
    void MarkMatched(uint32_t n, Scratch& s) const;
    // Orders the probe's words rarest first; the most any length asks for.
    uint32_t RankProbeWords(uint32_t n, Scratch& s) const;
    // Gathers the postings of both routes; whether the reference route is weighed.
    bool GatherRoutes(uint32_t n, uint32_t mostProbed, Scratch& s) const;
    void KeepSurvivors(uint32_t n, uint32_t from, bool weighRare, Scratch& s) const;
    // Asks memory for what reading the chosen records will wait for.
    void AskForChosen(const std::vector<Postings::Records>& chosen) const;
    // Candidates once the probe of n words (with or without a leading
    // backslash) is to be marked by `mark`.
    template <typename Mark>
    void Narrow(uint32_t n, bool backslash, uint32_t from, Mark mark,
                std::vector<uint32_t>& out) const;

    uint32_t ProbedWords(uint32_t f, uint32_t n) const;
    uint32_t Probed(uint32_t f, uint32_t n, const Scratch& s) const {
        return f < kTabledLengths ? s.lengths->probed[f] : ProbedWords(f, n);
    }
    void FillLengthTable(uint32_t n, LengthTable& t) const;
    // Once the references are known: the tables of the usual probe lengths.
    void FillLengthTables();
    static uint32_t Slot(uint32_t f) { return std::min(f, kTabledLengths); }

    int percent_;
    uint32_t count_;
    std::shared_ptr<const void> bytes_;  // loaded: what the postings read
    WordRelation words_;
    std::vector<uint32_t> refOffsets_;  // reference j's word ids: refWords_[refOffsets_[j]..]
    std::vector<uint32_t> refWords_;    // in name order, repeats kept
    static constexpr uint16_t kLongName = 0xFFFF;
    static constexpr uint32_t kTabledLengths = 64;
    static constexpr uint64_t kCheapProbe = 256;
    std::vector<uint16_t> refLength_;  // words of reference j; kLongName: that many or more
    bool hasLongNames_ = false;
    Postings all_;
    Postings rare_;
    std::vector<uint32_t> wordless_;   // references without words: at 100 they match anything
    std::vector<char> refBackslash_;   // per reference: its name starts with a backslash
    std::vector<LengthTable> tables_;  // by probe length below kTabledLengths / 2
    mutable std::mutex scratchMutex_;
    mutable std::vector<std::unique_ptr<Scratch>> idle_;
};

WordIndex::WordIndex(const std::vector<PreparedName>& refs, int percent, unsigned threads)
    : percent_(percent), count_(static_cast<uint32_t>(refs.size())) {
    refOffsets_.reserve(refs.size() + 1);
    refOffsets_.push_back(0);
    for (uint32_t j = 0; j < count_; ++j) {
        for (const std::string& w : refs[j].words) refWords_.push_back(words_.Add(w));
        refOffsets_.push_back(static_cast<uint32_t>(refWords_.size()));
        hasLongNames_ = hasLongNames_ || refs[j].words.size() >= kLongName;
        refLength_.push_back(
            static_cast<uint16_t>(std::min<size_t>(refs[j].words.size(), kLongName)));
        if (refs[j].words.empty()) wordless_.push_back(j);
        refBackslash_.push_back(refs[j].startsWithBackslash);
    }
    words_.Finish();
    FillLengthTables();

    auto distinctWords = [this](uint32_t j, std::vector<uint32_t>& out) {
        const auto ws = RefWords(j);
        out.assign(ws.begin(), ws.end());
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    };
    auto nameWords = [this](uint32_t j) { return RefWords(j); };

    // A word is rare when few names hold a word it matches: that is how many
    // probes would reach it. Counted ahead of the postings, so that both
    // postings can be built side by side.
    std::vector<uint32_t> holders(words_.Size(), 0);
    std::vector<uint32_t> listed;
    for (uint32_t j = 0; j < count_; ++j) {
        listed.clear();
        distinctWords(j, listed);
        for (const uint32_t w : listed) ++holders[w];
    }
    std::vector<uint64_t> reach(words_.Size(), 0);
    for (uint32_t w = 0; w < words_.Size(); ++w) {
        for (uint32_t m : words_.Matches(w)) reach[w] += holders[m];
    }
    auto rarestWords = [&](uint32_t j, std::vector<uint32_t>& out) {
        const auto ws = RefWords(j);
        const auto f = static_cast<uint32_t>(ws.size());
        if (f == 0) return;
        out.assign(ws.begin(), ws.end());
        const uint32_t keep = f - MinPairsOfReference(f, percent_) + 1;
        auto rarer = [&](uint32_t a, uint32_t b) {
            return reach[a] != reach[b] ? reach[a] < reach[b] : a < b;
        };
        std::partial_sort(out.begin(), out.begin() + keep, out.end(), rarer);
        out.resize(keep);
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    };
    SplitWork(2, threads, 1, [&](size_t begin, size_t end) {
        for (size_t k = begin; k < end; ++k) {
            if (k == 0) {
                all_ = Postings::Build(words_.Size(), count_, distinctWords, refLength_, nameWords);
            } else {
                rare_ = Postings::Build(words_.Size(), count_, rarestWords, refLength_, nameWords);
            }
        }
    });
}

bool WordIndex::Save(BlobWriter& out) const {
    out.PutCount(static_cast<uint64_t>(percent_));
    out.PutCount(count_);
    out.PutCount(hasLongNames_);
    words_.Save(out);
    out.Put(refOffsets_);
    out.Put(refWords_);
    out.Put(wordless_);
    out.Put(refBackslash_);
    all_.Save(out);
    rare_.Save(out);
    return true;
}

bool WordIndex::Load(BlobReader& in) {
    uint64_t percent = 0, count = 0, longNames = 0;
    if (!in.TakeCount(percent) || percent != static_cast<uint64_t>(percent_)) return false;
    if (!in.TakeCount(count) || count > UINT32_MAX - 1 || !in.TakeCount(longNames)) return false;
    count_ = static_cast<uint32_t>(count);
    hasLongNames_ = longNames != 0;
    FillLengthTables();
    if (!words_.Load(in) || !in.Take(refOffsets_) || !in.Take(refWords_) || !in.Take(wordless_) ||
        !in.Take(refBackslash_)) {
        return false;
    }
    if (!OffsetsValid(refOffsets_, count_, refWords_.size()) ||
        !AllBelow(refWords_, words_.Size()) || !AllBelow(wordless_, count_) ||
        refBackslash_.size() != count_) {
        return false;
    }
    // Laying out the postings is most of the reading: both side by side.
    BlobReader rareIn = in;
    if (!Postings::Skip(rareIn)) return false;
    bool loaded[2] = {false, false};
    SplitWork(2, DefaultWorkThreads(), 1, [&](size_t begin, size_t end) {
        for (size_t k = begin; k < end; ++k) {
            loaded[k] = k == 0 ? all_.Load(in, words_.Size(), refOffsets_, refWords_)
                               : rare_.Load(rareIn, words_.Size(), refOffsets_, refWords_);
        }
    });
    in = rareIn;
    return loaded[0] && loaded[1];
}

PreparedName WordIndex::Ref(uint32_t j) const {
    PreparedName name;
    name.startsWithBackslash = refBackslash_[j] != 0;
    for (const uint32_t w : RefWords(j)) name.words.emplace_back(words_.Word(w));
    return name;
}

template <typename Mark>
void WordIndex::Narrow(uint32_t n, bool backslash, uint32_t from, Mark mark,
                       std::vector<uint32_t>& out) const {
    if (percent_ <= 99 && (n == 0 || backslash)) return;
    if (percent_ == kPercentEverySecondWord && n == 0) {
        // Every word of an empty probe found a partner: anything matches.
        for (uint32_t j = from; j < count_; ++j) out.push_back(j);
        return;
    }
    ScratchLease lease(*this);
    Scratch& s = lease.Get();
    mark(s);
    const uint32_t mostProbed = RankProbeWords(n, s);
    const bool weighRare = GatherRoutes(n, mostProbed, s);
    KeepSurvivors(n, from, weighRare, s);
    for (const uint32_t w : s.touched) s.mask[w] = 0;

    std::sort(s.kept.begin(), s.kept.end());
    s.kept.erase(std::unique(s.kept.begin(), s.kept.end()), s.kept.end());
    out.insert(out.end(), s.kept.begin(), s.kept.end());
}

void WordIndex::Candidates(const PreparedName& probe, uint32_t from,
                           std::vector<uint32_t>& out) const {
    Narrow(
        static_cast<uint32_t>(probe.words.size()), probe.startsWithBackslash, from,
        [&](Scratch& s) { MarkProbeWords(probe, s); }, out);
}

void WordIndex::CandidatesOfRef(uint32_t j, uint32_t from, std::vector<uint32_t>& out) const {
    Narrow(
        static_cast<uint32_t>(RefWords(j).size()), refBackslash_[j] != 0, from,
        [&](Scratch& s) { MarkRefWords(j, s); }, out);
}

void WordIndex::MarkProbeWords(const PreparedName& probe, Scratch& s) const {
    // For each probe word, the known words it matches.
    const auto n = static_cast<uint32_t>(probe.words.size());
    s.matched.clear();
    s.matchedEnd.assign(n, 0);
    for (uint32_t i = 0; i < n; ++i) {
        if (const auto id = words_.Find(probe.words[i])) {
            const auto ms = words_.Matches(*id);
            s.matched.insert(s.matched.end(), ms.begin(), ms.end());
        } else {
            words_.MatchesOf(probe.words[i], s.matched);
        }
        s.matchedEnd[i] = static_cast<uint32_t>(s.matched.size());
    }
    MarkMatched(n, s);
}

void WordIndex::MarkRefWords(uint32_t j, Scratch& s) const {
    const auto ids = RefWords(j);
    const auto n = static_cast<uint32_t>(ids.size());
    s.matched.clear();
    s.matchedEnd.assign(n, 0);
    for (uint32_t i = 0; i < n; ++i) {
        const auto ms = words_.Matches(ids[i]);
        s.matched.insert(s.matched.end(), ms.begin(), ms.end());
        s.matchedEnd[i] = static_cast<uint32_t>(s.matched.size());
    }
    MarkMatched(n, s);
}

void WordIndex::MarkMatched(uint32_t n, Scratch& s) const {
    // For each known word, which probe words match it (one bit per probe word).
    s.costAll.assign(n, 0);
    s.touched.clear();
    for (uint32_t i = 0, k = 0; i < n; ++i) {
        for (; k < s.matchedEnd[i]; ++k) {
            const uint32_t w = s.matched[k];
            if (s.mask[w] == 0) {
                s.touched.push_back(w);
                all_.PrefetchWhere(w);
                rare_.PrefetchWhere(w);
            }
            s.mask[w] |= PositionBit(i);
            s.costAll[i] += all_.Length(w);
        }
    }
}

// How many of the probe's rarest words must be asked for references of f
// words; 0 when such references cannot match.
uint32_t WordIndex::ProbedWords(uint32_t f, uint32_t n) const {
    if (f == kLongName) return n;
    if (!PairsMaySuffice(f, n, f, n, percent_)) return 0;
    return n - std::min(n, MinPairs(f, n, percent_)) + 1;
}

uint32_t WordIndex::RankProbeWords(uint32_t n, Scratch& s) const {
    // Probe route: against a reference of f words the probe must pair
    // MinPairs(f, n) of its n words, so its rarest n - MinPairs + 1 words
    // reach every such reference that can match. Reference route: every probe
    // word against the references' rarest words. References of a length
    // that cannot match are skipped by either.
    s.order.resize(n);
    std::iota(s.order.begin(), s.order.end(), 0);
    std::sort(s.order.begin(), s.order.end(), [&](uint32_t a, uint32_t b) {
        return s.costAll[a] != s.costAll[b] ? s.costAll[a] < s.costAll[b] : a < b;
    });
    s.rank.resize(n);
    for (uint32_t k = 0; k < n; ++k) s.rank[s.order[k]] = k;
    if (n < kTabledLengths / 2) {
        s.lengths = &tables_[n];
    } else {
        if (!s.longProbe) s.longProbe = std::make_unique<LengthTable>();
        FillLengthTable(n, *s.longProbe);
        s.lengths = s.longProbe.get();
    }
    return s.lengths->mostProbed;
}

void WordIndex::FillLengthTable(uint32_t n, LengthTable& t) const {
    t.probed.resize(kTabledLengths);
    t.minPairs.resize(kTabledLengths);
    t.mostProbed = 0;
    for (uint32_t f = 0; f < kTabledLengths; ++f) {
        t.probed[f] = ProbedWords(f, n);
        t.minPairs[f] = MinPairs(f, n, percent_);
        if (f > 0) t.mostProbed = std::max<uint32_t>(t.mostProbed, t.probed[f]);
    }
    // The most words any length asks for; the table covers the lengths that
    // ask most unless the probe is long or the references very long.
    if (n >= kTabledLengths / 2 || hasLongNames_) t.mostProbed = n;
    // The word of rank r is asked for the lengths whose table entry exceeds
    // r; a word's segments, shortest first, are read no further than the
    // longest of them. Past the table's end lengths only grow less likely to
    // match: when its last length cannot match, none longer can.
    const bool unbounded = n >= kTabledLengths / 2 || hasLongNames_ || t.probed.back() > 0;
    t.longest.assign(n, unbounded ? UINT32_MAX : 0);
    if (!unbounded && n > 0) {
        // Each length marks the last rank it asks for; a rank is then asked
        // for by every length that marks it or any rank behind it.
        for (uint32_t f = 1; f < kTabledLengths; ++f) {
            if (t.probed[f] > 0) t.longest[std::min(n, t.probed[f]) - 1] = f;
        }
        for (uint32_t r = n - 1; r-- > 0;) t.longest[r] = std::max(t.longest[r], t.longest[r + 1]);
    }
}

void WordIndex::FillLengthTables() {
    tables_.resize(kTabledLengths / 2);
    for (uint32_t n = 0; n < tables_.size(); ++n) FillLengthTable(n, tables_[n]);
}

bool WordIndex::GatherRoutes(uint32_t n, uint32_t mostProbed, Scratch& s) const {
    using Segment = Postings::Segment;
    // The postings each route would read for references of each length, and
    // how many entries that is; each length then takes the cheaper route.
    for (const uint32_t w : s.touched) {
        all_.PrefetchShapes(w);
        rare_.PrefetchShapes(w);
    }
    s.probeSpans.clear();
    s.rareSpans.clear();
    s.costProbe.assign(kTabledLengths + 1, 0);
    s.costRare.assign(kTabledLengths + 1, 0);
    uint64_t probeTotal = 0;
    for (uint32_t i = 0; i < n; ++i) {
        if (s.rank[i] >= mostProbed) continue;
        for (uint32_t m = i == 0 ? 0 : s.matchedEnd[i - 1]; m < s.matchedEnd[i]; ++m) {
            all_.ForEachShape(s.matched[m], s.lengths->longest[s.rank[i]], [&](const Segment& seg) {
                if (s.rank[i] < Probed(seg.length, n, s)) {
                    s.probeSpans.push_back(seg);
                    s.costProbe[Slot(seg.length)] += seg.count;
                    probeTotal += seg.count;
                }
            });
        }
    }
    // When the probe route reads little, looking for a cheaper one costs more
    // than it can save.
    const bool weighRare = probeTotal > kCheapProbe;
    if (weighRare) {
        const uint32_t longest = n == 0 ? UINT32_MAX : s.lengths->longest[0];
        for (const uint32_t w : s.touched) {
            rare_.ForEachShape(w, longest, [&](const Segment& seg) {
                if (Probed(seg.length, n, s) > 0) {
                    s.rareSpans.push_back(seg);
                    s.costRare[Slot(seg.length)] += seg.count;
                }
            });
        }
    }
    return weighRare;
}

void WordIndex::KeepSurvivors(uint32_t n, uint32_t from, bool weighRare, Scratch& s) const {
    // Each reference reached is checked against the number of words that
    // could pair at best; the survivors are kept. A reference reached twice
    // is checked twice, which costs less than remembering which were reached.
    s.kept.clear();
    // Records are in ascending name order: read from the last one down to
    // `from`, which finds the tail without searching for its start.
    auto consider = [&](Postings::Records ids) {
        for (size_t k = ids.count; k-- > 0;) {
            const uint32_t j = ids.Name(k);
            if (j < from) break;
            const auto ws = ids.stride > 1 ? ids.Words(k) : RefWords(j);
            uint32_t refCovered = 0;
            uint64_t probeMask = 0;
            for (const uint32_t w : ws) {
                const uint64_t m = s.mask[w];
                refCovered += m != 0;
                probeMask |= m;
            }
            // Of the words that pair, neither side has more than it covers
            // (pairs needed: at 100 all the reference's, at 101 all the
            // probe's). Most references reached share a word or two: the
            // reference's side alone rules them out before the probe's
            // words are counted.
            const auto f = static_cast<uint32_t>(ws.size());
            const uint32_t need =
                f < kTabledLengths ? s.lengths->minPairs[f] : MinPairs(f, n, percent_);
            if (refCovered >= need && CoveredCount(probeMask, n) >= need) {
                s.kept.push_back(j);
            }
        }
    };
    s.chosen.clear();
    for (const Postings::Segment& seg : s.probeSpans) {
        const uint32_t f = Slot(seg.length);
        if (!weighRare || s.costProbe[f] <= s.costRare[f]) {
            s.chosen.push_back(all_.Open(seg, s.allArena));
        }
    }
    for (const Postings::Segment& seg : s.rareSpans) {
        const uint32_t f = Slot(seg.length);
        if (s.costProbe[f] > s.costRare[f]) s.chosen.push_back(rare_.Open(seg, s.rareArena));
    }
    AskForChosen(s.chosen);
    for (const Postings::Records& ids : s.chosen) consider(ids);
    if (percent_ == kPercentEveryFirstWord) {
        consider(Postings::Records{wordless_.data(), wordless_.size(), 1});
    }
}

void WordIndex::AskForChosen(const std::vector<Postings::Records>& chosen) const {
    // A probe reads a few records from each of many segments, each segment
    // elsewhere in memory: asking for all their last records at once (they
    // are read from the last one down) waits for memory once, not per segment.
    for (const Postings::Records& ids : chosen) {
        if (ids.count > 0) __builtin_prefetch(ids.data + (ids.count - 1) * ids.stride);
    }
    // Records read in place name their words elsewhere, a miss or two per
    // record when read in turn: ask for where each name's words lie, then
    // for the words, so that the misses overlap.
    for (const Postings::Records& ids : chosen) {
        if (ids.stride > 1) continue;
        for (size_t k = 0; k < ids.count; ++k) __builtin_prefetch(&refOffsets_[ids.Name(k)]);
    }
    for (const Postings::Records& ids : chosen) {
        if (ids.stride > 1) continue;
        for (size_t k = 0; k < ids.count; ++k) {
            __builtin_prefetch(refWords_.data() + refOffsets_[ids.Name(k)]);
        }
    }
}

}  // namespace

PreparedName CandidateIndex::Ref(uint32_t) const {
    return {};
}

std::unique_ptr<CandidateIndex> CandidateIndex::Load(BlobReader& in, int percent,
                                                     std::shared_ptr<const void> bytes) {
    if (percent <= 0 || percent >= 102) return nullptr;
    auto index = std::make_unique<WordIndex>(percent, std::move(bytes));
    if (!index->Load(in) || !in.AtEnd()) return nullptr;
    return index;
}

std::unique_ptr<CandidateIndex> CandidateIndex::Build(const std::vector<PreparedName>& refs,
                                                      int percent, unsigned threads) {
    if (percent <= 0) return std::make_unique<AllCandidates>(static_cast<uint32_t>(refs.size()));
    if (percent >= 102) return std::make_unique<NoCandidates>();
    return std::make_unique<WordIndex>(refs, percent, threads);
}

}  // namespace mv
