#include "dupes/index_postings.h"

namespace mv {

void Postings::Save(BlobWriter& out) const {
    // Names only: the inline words would more than double the file. Load
    // lays them out again from the names' words.
    std::vector<uint32_t> lengths, counts, names;
    std::vector<uint64_t> begins;
    for (const Segment& seg : segments_) {
        lengths.push_back(seg.length);
        counts.push_back(seg.count);
        begins.push_back(names.size());
        for (uint32_t k = 0; k < seg.count; ++k) {
            names.push_back(values_[seg.begin + size_t{k} * seg.stride]);
        }
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
    // Read in place: only the records laid out below are made.
    std::span<const uint32_t> lengths, counts, names;
    std::span<const uint64_t> begins;
    std::vector<uint32_t> spareLengths, spareCounts, spareNames;
    std::vector<uint64_t> spareBegins;
    if (!in.Take(offsets_) || !in.Take(segmentOffsets_) || !in.View(lengths, spareLengths) ||
        !in.View(counts, spareCounts) || !in.View(begins, spareBegins) ||
        !in.View(names, spareNames)) {
        return false;
    }
    const size_t n = lengths.size();
    if (counts.size() != n || begins.size() != n || nameOffsets.empty()) return false;
    if (offsets_.size() != wordCount + 1 || !OffsetsValid(offsets_, wordCount, offsets_.back()) ||
        !OffsetsValid(segmentOffsets_, wordCount, n)) {
        return false;
    }
    const size_t nameCount = nameOffsets.size() - 1;
    size_t values = 0;
    for (size_t s = 0; s < n; ++s) {
        if (begins[s] > names.size() || counts[s] > names.size() - begins[s]) return false;
        values += size_t{counts[s]} * StrideOf(lengths[s]);
    }
    segments_.resize(n);
    // Appended, not resized: filling tens of megabytes with zeros first
    // would cost a third of the reading.
    values_.clear();
    values_.reserve(values);
    for (size_t s = 0; s < n; ++s) {
        const uint32_t stride = StrideOf(lengths[s]);
        segments_[s] = {lengths[s], stride, counts[s], values_.size()};
        for (uint32_t k = 0; k < counts[s]; ++k) {
            const uint32_t j = names[begins[s] + k];
            if (j >= nameCount) return false;
            values_.push_back(j);
            if (stride == 1) continue;
            // The name's words beside it, as Build lays them out.
            const uint32_t from = nameOffsets[j], to = nameOffsets[j + 1];
            if (to - from != lengths[s]) return false;
            values_.insert(values_.end(), nameWords.begin() + from, nameWords.begin() + to);
        }
    }
    return true;
}

}  // namespace mv
