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

void Postings::Save(BlobWriter& out) const {
    // Names only: the inline words would more than double the file. Load
    // lays them out again from the names' words.
    std::vector<uint32_t> lengths(segLengths_.begin(), segLengths_.end());
    std::vector<uint32_t> counts(segCounts_.begin(), segCounts_.end());
    std::vector<uint32_t> names;
    std::vector<uint64_t> begins;
    for (uint32_t w = 0; w + 1 < segmentOffsets_.size(); ++w) {
        ForEachSegment(w, [&](uint32_t, Records ids) {
            begins.push_back(names.size());
            for (size_t k = 0; k < ids.count; ++k) names.push_back(ids.Name(k));
        });
    }
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
    blocks_ = std::make_unique<Blocks>(wordCount, n);
    return true;
}

const uint32_t* Postings::LayOut(uint32_t word) const {
    std::lock_guard lock(blocks_->mutex);
    if (const uint32_t* at = blocks_->at[word].load(std::memory_order_relaxed)) return at;
    size_t size = 0;
    for (uint32_t s = segmentOffsets_[word]; s < segmentOffsets_[word + 1]; ++s) {
        size += size_t{segCounts_[s]} * StrideOf(segLengths_[s]);
    }
    // Chunks of a few megabytes: one allocation serves many words, and a
    // word's records lie together.
    constexpr size_t kChunk = size_t{1} << 20;
    if (blocks_->next == nullptr || size > blocks_->room) {
        const size_t chunk = std::max(size, kChunk);
        blocks_->chunks.push_back(std::make_unique_for_overwrite<uint32_t[]>(chunk));
        blocks_->next = blocks_->chunks.back().get();
        blocks_->room = chunk;
    }
    uint32_t* const begin = blocks_->next;
    uint32_t* out = begin;
    for (uint32_t s = segmentOffsets_[word]; s < segmentOffsets_[word + 1]; ++s) {
        const bool inline_ = StrideOf(segLengths_[s]) > 1;
        for (uint32_t k = 0; k < segCounts_[s]; ++k) {
            const uint32_t j = names_[segBegins_[s] + k];
            *out++ = j;
            if (!inline_) continue;
            const uint32_t* words = nameWords_.data() + nameOffsets_[j];
            out = std::copy(words, words + segLengths_[s], out);
        }
    }
    blocks_->next += size;
    blocks_->room -= size;
    blocks_->at[word].store(begin, std::memory_order_release);
    return begin;
}

}  // namespace mv
