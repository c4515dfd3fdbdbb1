#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
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
// Loaded postings lay out a segment's records the second time it is asked
// for: a run reads the few segments its probes reach, and laying out whole
// words would cost more fresh memory than the run's whole search. A segment
// asked once is read where the file holds it, its names' words looked up by
// the caller: laying it out would read those same words and write them again.
namespace mv {

class Postings {
  public:
    Postings() = default;
    Postings(Postings&&) = default;
    Postings& operator=(Postings&&) = default;

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
    };

    // `lists(j, out)` puts into the empty `out` the distinct word ids name j is filed under;
    // `lengths[j]` is name j's word count; `words(j)` its word ids in order.
    template <typename Lists, typename Words>
    static Postings Build(size_t wordCount, uint32_t nameCount, Lists lists,
                          const std::vector<uint16_t>& lengths, Words words) {
        // Each name's lists asked once, kept one after another.
        std::vector<uint32_t> listed, one, listBegins(nameCount + 1, 0);
        for (uint32_t j = 0; j < nameCount; ++j) {
            one.clear();
            lists(j, one);
            listed.insert(listed.end(), one.begin(), one.end());
            listBegins[j + 1] = static_cast<uint32_t>(listed.size());
        }
        Postings p;
        const std::vector<uint32_t> ids = p.FileNames(wordCount, listed, listBegins, lengths);
        std::vector<uint32_t>().swap(listed);
        std::vector<size_t> wordBegins(wordCount);
        const size_t values = p.CutSegments(ids, lengths, wordBegins);
        p.segLengths_ = p.ownLengths_;
        p.segCounts_ = p.ownCounts_;
        p.values_.resize(values);
        uint32_t* out = p.values_.data();
        for (size_t at = 0; at < ids.size(); ++at) {
            *out++ = ids[at];
            if (StrideOf(lengths[ids[at]]) > 1) {
                for (const uint32_t word : words(ids[at])) *out++ = word;
            }
        }
        p.wordBegins_ = std::move(wordBegins);
        return p;
    }

    uint32_t Length(uint32_t word) const { return offsets_[word + 1] - offsets_[word]; }

    // One segment named without its records: weighing routes by counts must
    // not lay out the words of the route left unread.
    struct Segment {
        uint32_t word = 0;
        uint32_t length = 0;  // the names' word count
        uint32_t count = 0;
        uint32_t index = 0;  // the segment's number among all of them
        size_t at = 0;       // where its records start in the word's block
    };
    // Calls visit(segment) for each group of names filed under `word` whose
    // names have at most `longest` words.
    template <typename Visit>
    void ForEachShape(uint32_t word, uint32_t longest, Visit visit) const {
        size_t at = 0;
        for (uint32_t s = segmentOffsets_[word]; s < segmentOffsets_[word + 1]; ++s) {
            if (segLengths_[s] > longest) break;  // shortest first: the rest are longer
            visit(Segment{word, segLengths_[s], segCounts_[s], s, at});
            at += size_t{segCounts_[s]} * StrideOf(segLengths_[s]);
        }
    }
    // Ask memory for what ForEachShape(word) reads: first where the word's
    // segments are, then (once that is in) the segments themselves. A probe
    // asks for all its words at once instead of waiting for each in turn.
    void PrefetchWhere(uint32_t word) const { __builtin_prefetch(segmentOffsets_.data() + word); }
    void PrefetchShapes(uint32_t word) const {
        const uint32_t s = segmentOffsets_[word];
        __builtin_prefetch(segLengths_.data() + s);
        __builtin_prefetch(segCounts_.data() + s);
    }
    // Where one thread lays out the segments it reads: its own part of a
    // chunk, so that laying out takes no lock. One per thread at a time.
    struct Arena {
        uint32_t* next = nullptr;
        size_t room = 0;  // entries from `next` on
    };
    // The segment's records; stride 1 (names only) when they are read in place.
    Records Open(const Segment& seg, Arena& arena) const {
        const uint32_t stride = StrideOf(seg.length);
        if (!laid_) return {values_.data() + wordBegins_[seg.word] + seg.at, seg.count, stride};
        if (const uint32_t* at = laid_->at[seg.index].load(std::memory_order_acquire)) {
            return {at, seg.count, stride};
        }
        if (stride == 1 || !laid_->asked[seg.index].exchange(true, std::memory_order_relaxed)) {
            return {names_.data() + segBegins_[seg.index], seg.count, 1};
        }
        return {LayOut(seg, arena), seg.count, stride};
    }

    // The postings as flat arrays, and back. Load takes the names' words
    // (name j's at nameWords[nameOffsets[j]..nameOffsets[j + 1]], already
    // checked to be below `wordCount`) and is false when the arrays do not
    // make postings of those names over `wordCount` words. The loaded
    // postings read `in`'s bytes and the names' words for as long as they live.
    void Save(BlobWriter& out) const;
    bool Load(BlobReader& in, size_t wordCount, std::span<const uint32_t> nameOffsets,
              std::span<const uint32_t> nameWords);
    // Passes over what Save wrote, so that the next part can be read meanwhile.
    static bool Skip(BlobReader& in);

  private:
    // Sets offsets_; word by word, the names whose lists hold it, grouped by
    // their lengths ascending, each group in ascending name order.
    std::vector<uint32_t> FileNames(size_t wordCount, const std::vector<uint32_t>& listed,
                                    const std::vector<uint32_t>& listBegins,
                                    const std::vector<uint16_t>& lengths);
    // Sets the segments of those names; where each word's records will start
    // (`wordBegins`), and the number of values of all records.
    size_t CutSegments(const std::vector<uint32_t>& ids, const std::vector<uint16_t>& lengths,
                       std::vector<size_t>& wordBegins);
    static uint32_t StrideOf(uint32_t length) { return length <= kInlineWords ? length + 1 : 1; }
    // Calls visit(names) for each segment, in word order.
    template <typename Visit>
    void ForEachSegmentNames(Visit visit) const;
    const uint32_t* LayOut(const Segment& seg, Arena& arena) const;
    // Loaded: by segment, where its records were laid out (null: not yet)
    // and whether it was read once already. Behind a pointer so that the
    // postings move.
    struct Laid {
        explicit Laid(size_t segments)
            : at(std::make_unique<std::atomic<const uint32_t*>[]>(segments)),
              asked(std::make_unique<std::atomic<bool>[]>(segments)) {}
        std::unique_ptr<std::atomic<const uint32_t*>[]> at;
        std::unique_ptr<std::atomic<bool>[]> asked;
        std::mutex mutex;                                 // guards chunks
        std::vector<std::unique_ptr<uint32_t[]>> chunks;  // the arenas' memory
    };
    std::vector<uint32_t> offsets_;  // by word: names filed under earlier words
    std::vector<uint32_t> segmentOffsets_;
    std::span<const uint32_t> segLengths_, segCounts_;  // by segment
    std::vector<uint32_t> ownLengths_, ownCounts_;      // their storage when built
    std::vector<uint32_t> values_;                      // built: every record
    std::vector<size_t> wordBegins_;                    // built: where word w's records start
    std::unique_ptr<Laid> laid_;                        // loaded only
    // Loaded: each segment's names where the file holds them, and the names' words.
    std::span<const uint64_t> segBegins_;
    std::span<const uint32_t> names_, nameOffsets_, nameWords_;
    std::vector<uint32_t> spareLengths_, spareCounts_, spareNames_;
    std::vector<uint64_t> spareBegins_;
};

}  // namespace mv
