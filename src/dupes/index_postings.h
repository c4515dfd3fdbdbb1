#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

// For each word id, the ascending ids of the names filed under it, in one
// flat array (a few bytes per entry, however many lists there are).
namespace mv {

class Postings {
  public:
    // `lists(j, out)` appends the distinct word ids name j is filed under.
    template <typename Lists>
    static Postings Build(size_t wordCount, uint32_t nameCount, Lists lists) {
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
        return p;
    }

    uint32_t Length(uint32_t word) const { return offsets_[word + 1] - offsets_[word]; }

    // The names filed under `word` with id >= from.
    std::span<const uint32_t> From(uint32_t word, uint32_t from) const {
        const uint32_t* begin = ids_.data() + offsets_[word];
        const uint32_t* end = ids_.data() + offsets_[word + 1];
        return {std::lower_bound(begin, end, from), end};
    }

  private:
    std::vector<uint32_t> offsets_;
    std::vector<uint32_t> ids_;
};

}  // namespace mv
