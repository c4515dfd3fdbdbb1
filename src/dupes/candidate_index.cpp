#include "dupes/candidate_index.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "dupes/index_pair_bounds.h"
#include "dupes/index_postings.h"
#include "dupes/index_word_relation.h"

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
// (`all_`) and, separately, under its rarest words only (`rare_`): a reference
// that must pair at least k of its f words has a paired word among any
// f - k + 1 of them. The probe side works the same way: a probe that must pair
// k of its n words has a paired word among its n - k + 1 rarest. For each probe
// the cheaper of the two routes gives the candidates, which are then checked
// against the number of words that could pair at best.
class WordIndex final : public CandidateIndex {
  public:
    WordIndex(const std::vector<PreparedName>& refs, int percent);
    void Candidates(const PreparedName& probe, uint32_t from,
                    std::vector<uint32_t>& out) const override;

  private:
    std::span<const uint32_t> RefWords(uint32_t j) const {
        return {refWords_.data() + refOffsets_[j], refWords_.data() + refOffsets_[j + 1]};
    }

    int percent_;
    uint32_t count_;
    WordRelation words_;
    std::vector<uint32_t> refOffsets_;  // reference j's word ids: refWords_[refOffsets_[j]..]
    std::vector<uint32_t> refWords_;    // in name order, repeats kept
    Postings all_;
    Postings rare_;
    std::vector<uint32_t> wordless_;  // references without words: at 100 they match anything
};

WordIndex::WordIndex(const std::vector<PreparedName>& refs, int percent)
    : percent_(percent), count_(static_cast<uint32_t>(refs.size())) {
    refOffsets_.reserve(refs.size() + 1);
    refOffsets_.push_back(0);
    for (uint32_t j = 0; j < count_; ++j) {
        for (const std::string& w : refs[j].words) refWords_.push_back(words_.Add(w));
        refOffsets_.push_back(static_cast<uint32_t>(refWords_.size()));
        if (refs[j].words.empty()) wordless_.push_back(j);
    }
    words_.Finish();

    auto distinctWords = [this](uint32_t j, std::vector<uint32_t>& out) {
        const auto ws = RefWords(j);
        out.assign(ws.begin(), ws.end());
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    };
    all_ = Postings::Build(words_.Size(), count_, distinctWords);

    // A word is rare when few names hold a word it matches: that is how many
    // probes would reach it.
    std::vector<uint64_t> reach(words_.Size(), 0);
    for (uint32_t w = 0; w < words_.Size(); ++w) {
        for (uint32_t m : words_.Matches(w)) reach[w] += all_.Length(m);
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
    rare_ = Postings::Build(words_.Size(), count_, rarestWords);
}

void WordIndex::Candidates(const PreparedName& probe, uint32_t from,
                           std::vector<uint32_t>& out) const {
    const auto n = static_cast<uint32_t>(probe.words.size());
    if (percent_ <= 99 && (n == 0 || probe.startsWithBackslash)) return;
    if (percent_ == 101 && n == 0) {
        // Every word of an empty probe found a partner: anything matches.
        for (uint32_t j = from; j < count_; ++j) out.push_back(j);
        return;
    }

    // For each probe word, the known words it matches; and for each known
    // word, which probe words match it (one bit per probe word).
    std::vector<uint32_t> matched;
    std::vector<uint32_t> matchedEnd(n);
    for (uint32_t i = 0; i < n; ++i) {
        if (const auto id = words_.Find(probe.words[i])) {
            const auto ms = words_.Matches(*id);
            matched.insert(matched.end(), ms.begin(), ms.end());
        } else {
            words_.MatchesOf(probe.words[i], matched);
        }
        matchedEnd[i] = static_cast<uint32_t>(matched.size());
    }
    std::vector<std::pair<uint32_t, uint64_t>> masks;
    masks.reserve(matched.size());
    std::vector<uint64_t> costAll(n, 0);
    uint64_t costRare = 0;
    for (uint32_t i = 0, k = 0; i < n; ++i) {
        for (; k < matchedEnd[i]; ++k) {
            masks.emplace_back(matched[k], PositionBit(i));
            costAll[i] += all_.Length(matched[k]);
            costRare += rare_.Length(matched[k]);
        }
    }
    std::sort(masks.begin(), masks.end());
    size_t kept = 0;
    for (size_t k = 0; k < masks.size(); ++k) {
        if (kept > 0 && masks[kept - 1].first == masks[k].first) {
            masks[kept - 1].second |= masks[k].second;
        } else {
            masks[kept++] = masks[k];
        }
    }
    masks.resize(kept);

    // Probe route: the probe's rarest n - k + 1 words against every reference
    // word. Reference route: all probe words against the references' rarest.
    const uint32_t probePrefix = n - MinPairsOfProbe(n, percent_) + 1;
    std::vector<uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return costAll[a] != costAll[b] ? costAll[a] < costAll[b] : a < b;
    });
    uint64_t costProbe = 0;
    for (uint32_t k = 0; k < probePrefix; ++k) costProbe += costAll[order[k]];

    const size_t start = out.size();
    if (costProbe <= costRare) {
        std::vector<uint32_t> probed;
        for (uint32_t k = 0; k < probePrefix; ++k) {
            const uint32_t i = order[k];
            probed.insert(probed.end(), matched.begin() + (i == 0 ? 0 : matchedEnd[i - 1]),
                          matched.begin() + matchedEnd[i]);
        }
        std::sort(probed.begin(), probed.end());
        probed.erase(std::unique(probed.begin(), probed.end()), probed.end());
        for (uint32_t w : probed) {
            const auto ids = all_.From(w, from);
            out.insert(out.end(), ids.begin(), ids.end());
        }
    } else {
        for (const auto& [w, mask] : masks) {
            const auto ids = rare_.From(w, from);
            out.insert(out.end(), ids.begin(), ids.end());
        }
    }
    if (percent_ == 100) {
        out.insert(out.end(), std::lower_bound(wordless_.begin(), wordless_.end(), from),
                   wordless_.end());
    }
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(start), out.end());
    out.erase(std::unique(out.begin() + static_cast<std::ptrdiff_t>(start), out.end()), out.end());

    // Keep the candidates whose words could pair well enough at best.
    auto maskOf = [&masks](uint32_t w) -> uint64_t {
        const auto it = std::lower_bound(masks.begin(), masks.end(), w,
                                         [](const auto& m, uint32_t id) { return m.first < id; });
        return it != masks.end() && it->first == w ? it->second : 0;
    };
    size_t put = start;
    for (size_t k = start; k < out.size(); ++k) {
        const uint32_t j = out[k];
        const auto ws = RefWords(j);
        uint32_t refCovered = 0;
        uint64_t probeMask = 0;
        for (uint32_t w : ws) {
            const uint64_t m = maskOf(w);
            refCovered += m != 0;
            probeMask |= m;
        }
        if (PairsMaySuffice(static_cast<uint32_t>(ws.size()), n, refCovered,
                            CoveredCount(probeMask, n), percent_)) {
            out[put++] = j;
        }
    }
    out.resize(put);
}

}  // namespace

std::unique_ptr<CandidateIndex> CandidateIndex::Build(const std::vector<PreparedName>& refs,
                                                      int percent) {
    if (percent <= 0) return std::make_unique<AllCandidates>(static_cast<uint32_t>(refs.size()));
    if (percent >= 102) return std::make_unique<NoCandidates>();
    return std::make_unique<WordIndex>(refs, percent);
}

}  // namespace mv
