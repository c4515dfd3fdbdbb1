#include "dupes/index_postings.h"

namespace mv {

std::vector<uint32_t> Postings::FileNames(size_t wordCount, const std::vector<uint32_t>& listed,
                                          const std::vector<uint32_t>& listBegins,
                                          const std::vector<uint16_t>& lengths) {
    offsets_.assign(wordCount + 1, 0);
    for (const uint32_t w : listed) ++offsets_[w + 1];
    for (size_t w = 0; w < wordCount; ++w) offsets_[w + 1] += offsets_[w];
    // Names filed shortest first, each length in name order, leave every
    // word's names grouped as they must be: no word's names need sorting.
    const size_t nameCount = listBegins.size() - 1;
    std::vector<uint32_t> starts(size_t{UINT16_MAX} + 2, 0);
    for (size_t j = 0; j < nameCount; ++j) ++starts[lengths[j] + 1];
    for (size_t f = 0; f + 1 < starts.size(); ++f) starts[f + 1] += starts[f];
    std::vector<uint32_t> byLength(nameCount);
    for (size_t j = 0; j < nameCount; ++j)
        byLength[starts[lengths[j]]++] = static_cast<uint32_t>(j);
    std::vector<uint32_t> ids(offsets_[wordCount]);
    std::vector<uint32_t> fill(offsets_.begin(), offsets_.end() - 1);
    for (const uint32_t j : byLength) {
        for (uint32_t k = listBegins[j]; k < listBegins[j + 1]; ++k) ids[fill[listed[k]]++] = j;
    }
    return ids;
}

size_t Postings::CutSegments(const std::vector<uint32_t>& ids, const std::vector<uint16_t>& lengths,
                             std::vector<size_t>& wordBegins) {
    size_t values = 0;
    segmentOffsets_.assign(1, 0);
    for (size_t w = 0; w < wordBegins.size(); ++w) {
        wordBegins[w] = values;
        for (uint32_t at = offsets_[w]; at < offsets_[w + 1]; ++at) {
            const uint16_t length = lengths[ids[at]];
            if (at == offsets_[w] || length != lengths[ids[at - 1]]) {
                ownLengths_.push_back(length);
                ownCounts_.push_back(0);
            }
            ++ownCounts_.back();
            values += StrideOf(length);
        }
        segmentOffsets_.push_back(static_cast<uint32_t>(ownLengths_.size()));
    }
    return values;
}

template <typename Visit>
void Postings::ForEachSegmentNames(Visit visit) const {
    if (laid_) {
        for (size_t s = 0; s < segLengths_.size(); ++s) {
            visit(Records{names_.data() + segBegins_[s], segCounts_[s], 1});
        }
        return;
    }
    for (uint32_t w = 0; w + 1 < segmentOffsets_.size(); ++w) {
        ForEachShape(w, UINT32_MAX, [&](const Segment& seg) {
            visit(
                Records{values_.data() + wordBegins_[w] + seg.at, seg.count, StrideOf(seg.length)});
        });
    }
}

void Postings::Save(BlobWriter& out) const {
    // Names only: the inline words would more than double the file. A
    // loaded index lays them out again from the names' words.
    std::vector<uint32_t> lengths(segLengths_.begin(), segLengths_.end());
    std::vector<uint32_t> counts(segCounts_.begin(), segCounts_.end());
    std::vector<uint32_t> names;
    std::vector<uint64_t> begins;
    ForEachSegmentNames([&](Records ids) {
        begins.push_back(names.size());
        for (size_t k = 0; k < ids.count; ++k) names.push_back(ids.Name(k));
    });
    out.Put(offsets_);
    out.Put(segmentOffsets_);
    out.Put(lengths);
    out.Put(counts);
    out.Put(begins);
    out.Put(names);
}

bool Postings::Skip(BlobReader& in) {
    return in.Skip(4) && in.Skip(4) && in.Skip(4) && in.Skip(4) && in.Skip(8) && in.Skip(4);
}

bool Postings::Load(BlobReader& in, size_t wordCount, std::span<const uint32_t> nameOffsets,
                    std::span<const uint32_t> nameWords) {
    // Read in place: only the records a run asks for are laid out.
    if (!in.Take(offsets_) || !in.Take(segmentOffsets_) || !in.View(segLengths_, spareLengths_) ||
        !in.View(segCounts_, spareCounts_) || !in.View(segBegins_, spareBegins_) ||
        !in.View(names_, spareNames_)) {
        return false;
    }
    const size_t n = segLengths_.size();
    if (segCounts_.size() != n || segBegins_.size() != n || nameOffsets.empty()) return false;
    if (offsets_.size() != wordCount + 1 || !OffsetsValid(offsets_, wordCount, offsets_.back()) ||
        !OffsetsValid(segmentOffsets_, wordCount, n)) {
        return false;
    }
    // A word's segments go shortest first, as a probe that stops at the
    // first too long a segment counts on.
    for (size_t w = 0; w < wordCount; ++w) {
        for (uint32_t s = segmentOffsets_[w] + 1; s < segmentOffsets_[w + 1]; ++s) {
            if (segLengths_[s - 1] >= segLengths_[s]) return false;
        }
    }
    // Every record is checked now, so that laying one out later cannot fail.
    const size_t nameCount = nameOffsets.size() - 1;
    for (size_t s = 0; s < n; ++s) {
        if (segBegins_[s] > names_.size() || segCounts_[s] > names_.size() - segBegins_[s]) {
            return false;
        }
        for (uint32_t k = 0; k < segCounts_[s]; ++k) {
            const uint32_t j = names_[segBegins_[s] + k];
            if (j >= nameCount) return false;
            if (StrideOf(segLengths_[s]) > 1 &&
                nameOffsets[j + 1] - nameOffsets[j] != segLengths_[s])
                return false;
        }
    }
    nameOffsets_ = nameOffsets;
    nameWords_ = nameWords;
    values_.clear();
    wordBegins_.clear();
    laid_ = std::make_unique<Laid>(n);
    return true;
}

const uint32_t* Postings::LayOut(const Segment& seg, Arena& arena) const {
    const uint32_t stride = StrideOf(seg.length);
    const size_t size = size_t{seg.count} * stride;
    // Chunks of a megabyte: one allocation serves many segments; only
    // handing a chunk to the postings takes the lock.
    constexpr size_t kChunk = size_t{1} << 18;
    if (arena.next == nullptr || size > arena.room) {
        const size_t chunk = std::max(size, kChunk);
        auto memory = std::make_unique_for_overwrite<uint32_t[]>(chunk);
        arena.next = memory.get();
        arena.room = chunk;
        std::lock_guard lock(laid_->mutex);
        laid_->chunks.push_back(std::move(memory));
    }
    uint32_t* out = arena.next;
    const uint32_t* names = names_.data() + segBegins_[seg.index];
    // Each name's words lie elsewhere: asked for all at once, the misses overlap.
    for (uint32_t k = 0; k < seg.count; ++k) __builtin_prefetch(&nameOffsets_[names[k]]);
    for (uint32_t k = 0; k < seg.count; ++k) {
        __builtin_prefetch(nameWords_.data() + nameOffsets_[names[k]]);
    }
    for (uint32_t k = 0; k < seg.count; ++k) {
        const uint32_t j = names[k];
        *out++ = j;
        const uint32_t* words = nameWords_.data() + nameOffsets_[j];
        out = std::copy(words, words + seg.length, out);
    }
    // Another thread may have laid out the same segment meanwhile: its copy
    // is read and this one's room is used again.
    const uint32_t* expected = nullptr;
    if (!laid_->at[seg.index].compare_exchange_strong(expected, arena.next,
                                                      std::memory_order_acq_rel)) {
        return expected;
    }
    const uint32_t* const begin = arena.next;
    arena.next += size;
    arena.room -= size;
    return begin;
}

}  // namespace mv
