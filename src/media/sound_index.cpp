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

// For each print, where it sits in each bucket it shares with others that
// says something (2..maxBucketPrints prints): the posting and its bucket's end.
std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> PlacesByPrint(
    const std::vector<Posting>& postings, std::size_t prints, std::size_t maxBucketPrints) {
    std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> places(prints);
    for (std::size_t start = 0; start < postings.size();) {
        std::size_t end = start + 1;
        while (end < postings.size() && postings[end].bucket == postings[start].bucket) ++end;
        if (end - start >= 2 && end - start <= maxBucketPrints) {
            for (std::size_t k = start; k < end; ++k) {
                places[postings[k].print].emplace_back(static_cast<std::uint32_t>(k),
                                                       static_cast<std::uint32_t>(end));
            }
        }
        start = end;
    }
    return places;
}

}  // namespace

// Counts the buckets each print shares with every later one in a plain array
// (a map of all pairs took gigabytes on 100,000 prints), one print at a time.
std::vector<std::pair<std::size_t, std::size_t>> SoundCandidates(
    const std::vector<const std::vector<std::uint32_t>*>& prints, const SoundIndexParams& params) {
    const std::vector<Posting> postings = Postings(prints, std::clamp(params.droppedBits, 0, 31));
    const auto places = PlacesByPrint(postings, prints.size(), params.maxBucketPrints);
    std::vector<std::uint32_t> shared(prints.size(), 0);
    std::vector<std::uint32_t> touched;
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t p = 0; p < prints.size(); ++p) {
        for (const auto& [k, end] : places[p]) {
            for (std::uint32_t j = k + 1; j < end; ++j) {
                const std::uint32_t q = postings[j].print;
                if (shared[q]++ == 0) touched.push_back(q);
            }
        }
        std::sort(touched.begin(), touched.end());
        for (const std::uint32_t q : touched) {
            if (shared[q] >= params.minShared) pairs.emplace_back(p, q);
            shared[q] = 0;
        }
        touched.clear();
    }
    return pairs;
}

}  // namespace mv
