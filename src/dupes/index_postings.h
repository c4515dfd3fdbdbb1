#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "dupes/index_blob.h"

// For each word id, the names filed under it, grouped by the names' word
// counts (segments), each group in ascending name order; all in flat arrays.
// Grouping lets a probe skip names of impossible length without reading them
// and ask fewer of its words for long names, which must pair more words.
// Beside each name of a usual length lie its word ids: checking a name
// reached then reads on in the same array instead of jumping to the name's
// words elsewhere, which on a large index costs a cache miss per name.
namespace mv {

class Postings {
  public:
    // Names of up to this many words carry their words inline.
    static constexpr uint32_t kInlineWords = 10;

    // One segment's names: `count` records of `stride` values each, the
    // name's index first, then (stride > 1) its word ids in name order.
    struct Records {
        const uint32_t* data = nullptr;
        size_t count = 0;
        uint32_t stride = 1;

        uint32_t Name(size_t k) const { return data[k * stride]; }
        // The name's words when they lie inline; empty otherwise.
        std::span<const uint32_t> Words(size_t k) const {
            return {data + k * stride + 1, static_cast<size_t>(stride - 1)};
        }
        // The records whose name is `from` or later.
        Records From(uint32_t from) const {
            size_t lo = 0, hi = count;
            while (lo < hi) {
                const size_t mid = lo + (hi - lo) / 2;
                if (Name(mid) < from) {
                    lo = mid + 1;
                } else {
                    hi = mid;
                }
            }
            return {data + lo * stride, count - lo, stride};
        }
    };

    // `lists(j, out)` appends the distinct word ids name j is filed under;
    // `lengths[j]` is name j's word count; `words(j)` its word ids in order.
    template <typename Lists, typename Words>
    static Postings Build(size_t wordCount, uint32_t nameCount, Lists lists,
                          const std::vector<uint16_t>& lengths, Words words) {
        Postings p;
        p.offsets_.assign(wordCount + 1, 0);
        std::vector<uint32_t> listed;
        for (uint32_t j = 0; j < nameCount; ++j) {
            listed.clear();
            lists(j, listed);
            for (uint32_t w : listed) ++p.offsets_[w + 1];
        }
        for (size_t w = 0; w < wordCount; ++w) p.offsets_[w + 1] += p.offsets_[w];
        std::vector<uint32_t> ids(p.offsets_[wordCount]);
        std::vector<uint32_t> fill(p.offsets_.begin(), p.offsets_.end() - 1);
        for (uint32_t j = 0; j < nameCount; ++j) {
            listed.clear();
            lists(j, listed);
            for (uint32_t w : listed) ids[fill[w]++] = j;
        }
        std::vector<uint32_t>().swap(fill);

        // Segments by length, then the records of each, words inline.
        size_t values = 0;
        p.segmentOffsets_.assign(1, 0);
        for (size_t w = 0; w < wordCount; ++w) {
            const auto begin = ids.begin() + p.offsets_[w];
            const auto end = ids.begin() + p.offsets_[w + 1];
            std::stable_sort(begin, end,
                             [&](uint32_t a, uint32_t b) { return lengths[a] < lengths[b]; });
            for (auto it = begin; it != end; ++it) {
                if (it == begin || lengths[*it] != lengths[*(it - 1)]) {
                    p.segments_.push_back({lengths[*it], StrideOf(lengths[*it]), 0, values});
                }
                ++p.segments_.back().count;
                values += p.segments_.back().stride;
            }
            p.segmentOffsets_.push_back(static_cast<uint32_t>(p.segments_.size()));
        }
        p.values_.resize(values);
        for (size_t w = 0, s = 0; w < wordCount; ++w) {
            size_t at = p.offsets_[w];
            for (; s < p.segmentOffsets_[w + 1]; ++s) {
                uint32_t* out = p.values_.data() + p.segments_[s].begin;
                for (uint32_t k = 0; k < p.segments_[s].count; ++k, ++at) {
                    *out++ = ids[at];
                    if (p.segments_[s].stride > 1) {
                        for (const uint32_t word : words(ids[at])) *out++ = word;
                    }
                }
            }
        }
        return p;
    }

    uint32_t Length(uint32_t word) const { return offsets_[word + 1] - offsets_[word]; }

    // Calls visit(length, records) for each group of names filed under `word`.
    template <typename Visit>
    void ForEachSegment(uint32_t word, Visit visit) const {
        for (uint32_t s = segmentOffsets_[word]; s < segmentOffsets_[word + 1]; ++s) {
            const Segment& seg = segments_[s];
            visit(seg.length, Records{values_.data() + seg.begin, seg.count, seg.stride});
        }
    }

    // The postings as flat arrays, and back. Load takes the names' words
    // (name j's at nameWords[nameOffsets[j]..nameOffsets[j + 1]], already
    // checked to be below `wordCount`) and is false when the arrays do not
    // make postings of those names over `wordCount` words.
    void Save(BlobWriter& out) const;
    bool Load(BlobReader& in, size_t wordCount, std::span<const uint32_t> nameOffsets,
              std::span<const uint32_t> nameWords);
    // Passes over what Save wrote, so that the next part can be read meanwhile.
    static bool Skip(BlobReader& in);

  private:
    static uint32_t StrideOf(uint32_t length) { return length <= kInlineWords ? length + 1 : 1; }
    struct Segment {
        uint32_t length;
        uint32_t stride;
        uint32_t count;
        size_t begin;  // in values_
    };
    std::vector<uint32_t> offsets_;  // by word: names filed under earlier words
    std::vector<uint32_t> segmentOffsets_;
    std::vector<Segment> segments_;
    std::vector<uint32_t> values_;
};

}  // namespace mv
