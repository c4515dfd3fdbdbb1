#include "dupes/better_copy.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace mv {
namespace {

bool Tagged(const MediaFacts& f) {
    return f.id3v1 || f.id3v2 || f.ape;
}

bool BothFiles(const ResultRow& row) {
    return row.leftKind == RowKind::FileOnDisk && row.rightKind == RowKind::FileOnDisk;
}

const MediaFacts* Find(const FactsByPath& facts, const std::string& path) {
    const auto it = facts.find(path);
    return it == facts.end() ? nullptr : &it->second;
}

}  // namespace

bool IsBetterCopy(const MediaFacts& a, const MediaFacts& b) {
    const bool aAudio = a.status == FactsStatus::Audio;
    const bool bAudio = b.status == FactsStatus::Audio;
    if (!aAudio) return false;
    if (!bAudio) return true;
    // Each criterion decides only when the copies differ in it.
    if (a.bitrateKbps != b.bitrateKbps) return a.bitrateKbps > b.bitrateKbps;
    if (a.durationMs != b.durationMs) return a.durationMs > b.durationMs;
    if (Tagged(a) != Tagged(b)) return Tagged(a);
    return a.size > b.size;
}

std::size_t KeepBetterCopy(std::vector<ResultRow>& rows, const FactsByPath& facts) {
    std::size_t swapped = 0;
    for (ResultRow& row : rows) {
        if (!BothFiles(row)) continue;
        const MediaFacts* left = Find(facts, row.left);
        const MediaFacts* right = Find(facts, row.right);
        if (!left || !right || !IsBetterCopy(*left, *right)) continue;
        std::swap(row.left, row.right);
        std::swap(row.leftKind, row.rightKind);
        ++swapped;
    }
    return swapped;
}

std::size_t KeepOnlySameAudio(std::vector<ResultRow>& rows, const FactsByPath& facts) {
    const auto notSame = [&facts](const ResultRow& row) {
        if (!BothFiles(row)) return true;
        const MediaFacts* left = Find(facts, row.left);
        const MediaFacts* right = Find(facts, row.right);
        return !left || !right || SameAudio(*left, *right) != std::optional<bool>(true);
    };
    const auto kept = std::remove_if(rows.begin(), rows.end(), notSame);
    const std::size_t removed = static_cast<std::size_t>(rows.end() - kept);
    rows.erase(kept, rows.end());
    return removed;
}

std::vector<std::string> LeftFiles(const std::vector<ResultRow>& rows) {
    std::vector<std::string> files;
    files.reserve(rows.size());
    for (const ResultRow& row : rows) {
        if (row.leftKind == RowKind::FileOnDisk) files.push_back(row.left);
    }
    return files;
}

std::uint64_t LeftListBytes(const std::vector<std::string>& leftFiles) {
    // Deleting removes names, not files: each distinct name is asked of the
    // file system once, without following links.
    struct File {
        std::uint64_t size = 0;
        nlink_t links = 0;  // the names the file has
        nlink_t named = 0;  // how many of them are to be deleted
    };
    std::unordered_set<std::string_view> namesSeen;
    std::map<std::pair<dev_t, ino_t>, File> files;
    for (const std::string& name : leftFiles) {
        if (!namesSeen.insert(name).second) continue;
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        File& file = files[{st.st_dev, st.st_ino}];
        file.size = static_cast<std::uint64_t>(st.st_size);
        file.links = st.st_nlink;
        ++file.named;
    }
    std::uint64_t total = 0;
    for (const auto& [id, file] : files) {
        if (file.named >= file.links) total += file.size;
    }
    return total;
}

}  // namespace mv
