#include "dupes/index_postings.h"

namespace mv {

void Postings::Save(BlobWriter& out) const {
    // Names only: the inline words would more than double the file, and on
    // the lists a kept index pays for, the names' words stay in cache anyway.
    std::vector<uint32_t> lengths, strides, counts, names;
    std::vector<uint64_t> begins;
    for (const Segment& seg : segments_) {
        lengths.push_back(seg.length);
        strides.push_back(1);
        counts.push_back(seg.count);
        begins.push_back(names.size());
        for (uint32_t k = 0; k < seg.count; ++k)
            names.push_back(values_[seg.begin + k * seg.stride]);
    }
    out.Put(offsets_);
    out.Put(segmentOffsets_);
    out.Put(lengths);
    out.Put(strides);
    out.Put(counts);
    out.Put(begins);
    out.Put(names);
}

bool Postings::Load(BlobReader& in, size_t wordCount, uint32_t nameCount) {
    std::vector<uint32_t> lengths, strides, counts;
    std::vector<uint64_t> begins;
    if (!in.Take(offsets_) || !in.Take(segmentOffsets_) || !in.Take(lengths) || !in.Take(strides) ||
        !in.Take(counts) || !in.Take(begins) || !in.Take(values_)) {
        return false;
    }
    const size_t n = lengths.size();
    if (strides.size() != n || counts.size() != n || begins.size() != n) return false;
    if (offsets_.size() != wordCount + 1 || !OffsetsValid(offsets_, wordCount, offsets_.back()) ||
        !OffsetsValid(segmentOffsets_, wordCount, n)) {
        return false;
    }
    segments_.resize(n);
    for (size_t k = 0; k < n; ++k) segments_[k] = {lengths[k], strides[k], counts[k], begins[k]};
    return SegmentsValid(wordCount, nameCount);
}

bool Postings::SegmentsValid(size_t wordCount, uint32_t nameCount) const {
    for (const Segment& seg : segments_) {
        // Words inline as Build lays them out, or names alone as Save keeps them.
        if ((seg.stride != 1 && seg.stride != StrideOf(seg.length)) || seg.begin > values_.size()) {
            return false;
        }
        if (seg.count > (values_.size() - seg.begin) / seg.stride) return false;
        const uint32_t* record = values_.data() + seg.begin;
        for (uint32_t k = 0; k < seg.count; ++k, record += seg.stride) {
            if (record[0] >= nameCount) return false;
            for (uint32_t w = 1; w < seg.stride; ++w) {
                if (record[w] >= wordCount) return false;
            }
        }
    }
    return true;
}

}  // namespace mv
