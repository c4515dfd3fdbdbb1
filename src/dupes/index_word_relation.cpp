#include "dupes/index_word_relation.h"

#include <algorithm>

#include "dupes/name_matcher.h"

namespace mv {
namespace {

uint64_t KeyHash(std::string_view s) {
    return std::hash<std::string_view>{}(s);
}

}  // namespace

uint32_t WordRelation::Add(std::string_view word) {
    if (const auto it = ids_.find(word); it != ids_.end()) return it->second;
    const auto id = static_cast<uint32_t>(words_.size());
    const auto [it, inserted] = ids_.emplace(std::string(word), id);
    words_.push_back(&it->first);
    return id;
}

std::optional<uint32_t> WordRelation::Find(std::string_view word) const {
    if (const auto it = ids_.find(word); it != ids_.end()) return it->second;
    return std::nullopt;
}

void WordRelation::Finish() {
    // A word w matches every longer word that holds it and is at most two
    // characters longer: index each word under its substrings of length
    // |w|-1 and |w|-2 (two characters at least; one-letter words match only
    // themselves).
    longer_.clear();
    std::vector<uint64_t> keys;
    for (uint32_t id = 0; id < words_.size(); ++id) {
        const std::string_view w = *words_[id];
        keys.clear();
        for (size_t cut = 1; cut <= 2; ++cut) {
            if (w.size() < cut + 2) break;
            const size_t len = w.size() - cut;
            for (size_t at = 0; at + len <= w.size(); ++at)
                keys.push_back(KeyHash(w.substr(at, len)));
        }
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        for (uint64_t k : keys) longer_.emplace_back(k, id);
    }
    std::sort(longer_.begin(), longer_.end());

    matchOffsets_.assign(1, 0);
    matchIds_.clear();
    std::vector<uint32_t> found;
    for (uint32_t id = 0; id < words_.size(); ++id) {
        found.clear();
        MatchesOf(*words_[id], found);
        matchIds_.insert(matchIds_.end(), found.begin(), found.end());
        matchOffsets_.push_back(static_cast<uint32_t>(matchIds_.size()));
    }
}

void WordRelation::MatchesOf(std::string_view word, std::vector<uint32_t>& out) const {
    const size_t start = out.size();
    if (const auto id = Find(word)) out.push_back(*id);
    if (word.size() >= 2) {
        // Shorter partners are substrings of `word` that are known words.
        for (size_t cut = 1; cut <= 2; ++cut) {
            if (word.size() < cut + 2) break;
            const size_t len = word.size() - cut;
            for (size_t at = 0; at + len <= word.size(); ++at) {
                if (const auto id = Find(word.substr(at, len))) out.push_back(*id);
            }
        }
        // Longer partners were indexed under `word`.
        const uint64_t key = KeyHash(word);
        auto it =
            std::lower_bound(longer_.begin(), longer_.end(), std::make_pair(key, uint32_t{0}));
        for (; it != longer_.end() && it->first == key; ++it) {
            if (WordsMatch(word, *words_[it->second])) out.push_back(it->second);
        }
    }
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(start), out.end());
    out.erase(std::unique(out.begin() + static_cast<std::ptrdiff_t>(start), out.end()), out.end());
}

}  // namespace mv
