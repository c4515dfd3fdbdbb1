#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dupes/index_blob.h"

// The distinct words of a set of names, and for each the words it pairs with
// under WordsMatch. Comparing word ids afterwards is far cheaper than comparing
// strings, and the relation is computed once per distinct word instead of once
// per name pair.
namespace mv {

class WordRelation {
  public:
    // Adding phase: returns the id of `word` (upper-cased), new or known.
    uint32_t Add(std::string_view word);
    // Ends the adding phase and computes which words match which.
    void Finish();

    size_t Size() const { return starts_.size() - 1; }
    std::string_view Word(uint32_t id) const {
        return std::string_view(text_).substr(starts_[id], starts_[id + 1] - starts_[id]);
    }
    std::optional<uint32_t> Find(std::string_view word) const;

    // Ascending ids of the known words that match word `id` (itself included).
    std::span<const uint32_t> Matches(uint32_t id) const {
        return {matchIds_.data() + matchOffsets_[id], matchIds_.data() + matchOffsets_[id + 1]};
    }
    // The same for any word, known or not; appends ascending ids to `out`.
    void MatchesOf(std::string_view word, std::vector<uint32_t>& out) const;

    // The finished relation as flat arrays, and back; Load is false (and the
    // relation unusable) when the arrays do not make a relation.
    void Save(BlobWriter& out) const;
    bool Load(BlobReader& in);
    // The word hash of a fixed text: saved relations hold hashes, usable only
    // by a program that hashes the same way.
    static uint64_t HashProbe();

  private:
    void Grow();
    void RebuildSlots();

    // The words one after another, word id's text at starts_[id]..starts_[id+1].
    std::string text_;
    std::vector<uint32_t> starts_ = {0};
    std::vector<uint64_t> hashes_;  // by id
    // Open addressing: id + 1 of the word whose hash leads here, 0 when free.
    std::vector<uint32_t> slots_;
    // Hash of a substring -> id of a word one or two characters longer that
    // holds it. A hash collision only adds an entry that the exact test drops.
    std::vector<std::pair<uint64_t, uint32_t>> longer_;
    std::vector<uint32_t> matchOffsets_;
    std::vector<uint32_t> matchIds_;
};

}  // namespace mv
