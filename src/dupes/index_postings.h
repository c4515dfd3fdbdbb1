#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

// For each word id, the names filed under it, grouped by the names' word
// counts (segments), each group in ascending name order; all in flat arrays.
// Grouping lets a probe skip names of impossible length without reading them
// and ask fewer of its words for long names, which must pair more words.
namespace mv {

class Postings {
  public:
    // `lists(j, out)` appends the distinct word ids name j is filed under;
    // `lengths[j]` is name j's word count.
    template <typename Lists>
    static Postings Build(size_t wordCount, uint32_t nameCount, Lists lists,
                          const std::vector<uint16_t>& lengths) {
        Postings p;
        p.offsets_.assign(wordCount + 1, 0);
        std::vector<uint32_t> words;
        for (uint32_t j = 0; j < nameCount; ++j) {
            words.clear();
            lists(j, words);
            for (uint32_t w : words) ++p.offsets_[w + 1];
        }
        for (size_t w = 0; w < wordCount; ++w) p.offsets_[w + 1] += p.offsets_[w];
        p.ids_.resize(p.offsets_[wordCount]);
        std::vector<uint32_t> fill(p.offsets_.begin(), p.offsets_.end() - 1);
        for (uint32_t j = 0; j < nameCount; ++j) {
            words.clear();
            lists(j, words);
            for (uint32_t w : words) p.ids_[fill[w]++] = j;
        }
        p.segmentOffsets_.assign(1, 0);
        for (size_t w = 0; w < wordCount; ++w) {
            const auto begin = p.ids_.begin() + p.offsets_[w];
            const auto end = p.ids_.begin() + p.offsets_[w + 1];
            std::stable_sort(begin, end,
                             [&](uint32_t a, uint32_t b) { return lengths[a] < lengths[b]; });
            for (auto it = begin; it != end; ++it) {
                if (it == begin || lengths[*it] != lengths[*(it - 1)]) {
                    p.segments_.push_back(
                        {lengths[*it], static_cast<uint32_t>(it - p.ids_.begin())});
                }
            }
            p.segmentOffsets_.push_back(static_cast<uint32_t>(p.segments_.size()));
        }
        return p;
    }

    uint32_t Length(uint32_t word) const { return offsets_[word + 1] - offsets_[word]; }

    // Calls visit(length, ids) for each group of names filed under `word`.
    template <typename Visit>
    void ForEachSegment(uint32_t word, Visit visit) const {
        const uint32_t first = segmentOffsets_[word];
        const uint32_t last = segmentOffsets_[word + 1];
        for (uint32_t s = first; s < last; ++s) {
            const uint32_t end = s + 1 < last ? segments_[s + 1].begin : offsets_[word + 1];
            visit(segments_[s].length,
                  std::span<const uint32_t>(ids_.data() + segments_[s].begin, ids_.data() + end));
        }
    }

    // The ids >= from of an ascending run.
    static std::span<const uint32_t> From(std::span<const uint32_t> ids, uint32_t from) {
        return {std::lower_bound(ids.begin(), ids.end(), from), ids.end()};
    }

  private:
    struct Segment {
        uint32_t length;
        uint32_t begin;
    };
    std::vector<uint32_t> offsets_;
    std::vector<uint32_t> ids_;
    std::vector<uint32_t> segmentOffsets_;
    std::vector<Segment> segments_;
};

}  // namespace mv
