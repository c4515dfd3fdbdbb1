#include "media/sound_index.h"

#include <algorithm>
#include <unordered_map>

namespace mv {

namespace {

struct Posting {
    std::uint32_t bucket;
    std::uint32_t print;
    bool operator<(const Posting& o) const {
        return bucket != o.bucket ? bucket < o.bucket : print < o.print;
    }
};

// Every print's distinct buckets, sorted by bucket.
std::vector<Posting> Postings(const std::vector<const std::vector<std::uint32_t>*>& prints,
                              int droppedBits) {
    std::vector<Posting> postings;
    std::size_t total = 0;
    for (const auto* items : prints) total += items->size();
    postings.reserve(total);
    for (std::size_t p = 0; p < prints.size(); ++p) {
        for (const std::uint32_t item : *prints[p]) {
            postings.push_back({item >> droppedBits, static_cast<std::uint32_t>(p)});
        }
    }
    std::sort(postings.begin(), postings.end());
    postings.erase(std::unique(postings.begin(), postings.end(),
                               [](const Posting& a, const Posting& b) {
                                   return a.bucket == b.bucket && a.print == b.print;
                               }),
                   postings.end());
    return postings;
}

}  // namespace

std::vector<std::pair<std::size_t, std::size_t>> SoundCandidates(
    const std::vector<const std::vector<std::uint32_t>*>& prints, const SoundIndexParams& params) {
    const std::vector<Posting> postings = Postings(prints, std::clamp(params.droppedBits, 0, 31));
    std::unordered_map<std::uint64_t, std::uint32_t> shared;
    for (std::size_t start = 0; start < postings.size();) {
        std::size_t end = start + 1;
        while (end < postings.size() && postings[end].bucket == postings[start].bucket) ++end;
        if (end - start <= params.maxBucketPrints) {
            for (std::size_t a = start; a < end; ++a) {
                for (std::size_t b = a + 1; b < end; ++b) {
                    ++shared[(std::uint64_t{postings[a].print} << 32) | postings[b].print];
                }
            }
        }
        start = end;
    }
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (const auto& [key, count] : shared) {
        if (count >= params.minShared) pairs.emplace_back(key >> 32, key & 0xFFFFFFFFu);
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

}  // namespace mv
