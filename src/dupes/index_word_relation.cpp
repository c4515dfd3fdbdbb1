#include "dupes/index_word_relation.h"

#include <algorithm>
#include <tuple>

#include "dupes/name_matcher.h"

namespace mv {
namespace {

uint64_t KeyHash(std::string_view s) {
    return std::hash<std::string_view>{}(s);
}

}  // namespace

uint32_t WordRelation::Add(std::string_view word) {
    if (const auto id = Find(word)) return *id;
    if (2 * (Size() + 1) > slots_.size()) Grow();
    const auto id = static_cast<uint32_t>(Size());
    text_.append(word);
    starts_.push_back(static_cast<uint32_t>(text_.size()));
    hashes_.push_back(KeyHash(word));
    const size_t mask = slots_.size() - 1;
    size_t at = hashes_.back() & mask;
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = id + 1;
    return id;
}

void WordRelation::Grow() {
    slots_.assign(std::max<size_t>(64, slots_.size() * 2), 0);
    const size_t mask = slots_.size() - 1;
    for (uint32_t id = 0; id < hashes_.size(); ++id) {
        size_t at = hashes_[id] & mask;
        while (slots_[at] != 0) at = (at + 1) & mask;
        slots_[at] = id + 1;
    }
}

std::optional<uint32_t> WordRelation::Find(std::string_view word) const {
    if (slots_.empty()) return std::nullopt;
    const uint64_t h = KeyHash(word);
    const size_t mask = slots_.size() - 1;
    for (size_t at = h & mask; slots_[at] != 0; at = (at + 1) & mask) {
        const uint32_t id = slots_[at] - 1;
        if (hashes_[id] == h && Word(id) == word) return id;
    }
    return std::nullopt;
}

uint64_t WordRelation::HashProbe() {
    return KeyHash("Mp3 List word hash");
}

void WordRelation::RebuildSlots() {
    size_t size = 64;
    while (2 * Size() > size) size *= 2;
    slots_.assign(size / 2, 0);  // Grow doubles it
    Grow();
}

void WordRelation::Save(BlobWriter& out) const {
    out.Put(std::vector<char>(text_.begin(), text_.end()));
    out.Put(starts_);
    std::vector<uint64_t> keys(longer_.size());
    std::vector<uint32_t> ids(longer_.size());
    for (size_t k = 0; k < longer_.size(); ++k) std::tie(keys[k], ids[k]) = longer_[k];
    out.Put(keys);
    out.Put(ids);
    out.Put(matchOffsets_);
    out.Put(matchIds_);
}

bool WordRelation::Load(BlobReader& in) {
    std::span<const char> text;
    std::span<const uint64_t> keys;
    std::span<const uint32_t> ids;
    std::vector<char> spareText;
    std::vector<uint64_t> spareKeys;
    std::vector<uint32_t> spareIds;
    if (!in.View(text, spareText) || !in.Take(starts_) || !in.View(keys, spareKeys) ||
        !in.View(ids, spareIds) || !in.Take(matchOffsets_) || !in.Take(matchIds_)) {
        return false;
    }
    if (starts_.empty() || !OffsetsValid(starts_, starts_.size() - 1, text.size())) return false;
    const size_t n = starts_.size() - 1;
    if (keys.size() != ids.size() || !std::is_sorted(keys.begin(), keys.end()) ||
        !AllBelow(ids, n) || !OffsetsValid(matchOffsets_, n, matchIds_.size()) ||
        !AllBelow(matchIds_, n)) {
        return false;
    }
    text_.assign(text.begin(), text.end());
    longer_.resize(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) longer_[k] = {keys[k], ids[k]};
    // The hashes are the process's own: made again rather than trusted.
    hashes_.resize(n);
    for (uint32_t id = 0; id < n; ++id) hashes_[id] = KeyHash(Word(id));
    RebuildSlots();
    return true;
}

void WordRelation::Finish() {
    // A word w matches every longer word that holds it and is at most two
    // characters longer: index each word under its substrings of length
    // |w|-1 and |w|-2 (two characters at least; one-letter words match only
    // themselves).
    longer_.clear();
    std::vector<uint64_t> keys;
    for (uint32_t id = 0; id < Size(); ++id) {
        const std::string_view w = Word(id);
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
    for (uint32_t id = 0; id < Size(); ++id) {
        found.clear();
        MatchesOf(Word(id), found);
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
            if (WordsMatch(word, Word(it->second))) out.push_back(it->second);
        }
    }
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(start), out.end());
    out.erase(std::unique(out.begin() + static_cast<std::ptrdiff_t>(start), out.end()), out.end());
}

}  // namespace mv
