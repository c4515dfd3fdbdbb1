#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Which prints are worth comparing, found without testing every pair: each
// print's items go into buckets by their high bits, and two prints are a
// candidate pair when they share enough buckets. Copies of one recording
// share dozens, different recordings next to none; the similarity decides.
namespace mv {

struct SoundIndexParams {
    // Distinct buckets two prints must share.
    std::size_t minShared = 4;
    // A bucket holding more prints than this says nothing (silence, a hum
    // every file has) and would make pairs of everything: it is passed over.
    std::size_t maxBucketPrints = 200;
    // Bits of an item left out of its bucket key (the low ones).
    int droppedBits = 4;
};

// Pairs (i, j), i < j, of indices into `prints`, in ascending order.
std::vector<std::pair<std::size_t, std::size_t>> SoundCandidates(
    const std::vector<const std::vector<std::uint32_t>*>& prints,
    const SoundIndexParams& params = {});

}  // namespace mv
