#include "dupes/compare_gathering.h"

#include <sys/stat.h>

#include <algorithm>
#include <tuple>

namespace mv {

GatheredFiles::GatheredFiles(const std::vector<FolderWithFiles>& listed) : folders_(&listed) {
    IndexFiles();
}

GatheredFiles::GatheredFiles(const std::vector<std::string>& folders, const std::string& ext)
    : folders_(&owned_) {
    for (const auto& folder : folders) {
        auto listed = ListFolderFilesWithIds(folder, ext);
        if (listed) {
            owned_.push_back(std::move(*listed));
        } else {
            passedOver_.push_back(folder);
        }
    }
    IndexFiles();
}

void GatheredFiles::IndexFiles() {
    size_t total = 0;
    firstFile_.reserve(folders_->size());
    for (const auto& f : *folders_) {
        firstFile_.push_back(total);
        total += f.files.size();
    }
    folderOf_.reserve(total);
    for (size_t f = 0; f < folders_->size(); ++f) {
        folderOf_.insert(folderOf_.end(), (*folders_)[f].files.size(), static_cast<uint32_t>(f));
    }
}

namespace {

// One path of the run with the identity of the file it leads to.
struct Found {
    uint64_t device;
    uint64_t inode;
    size_t path;
    bool link;
    bool examined;
};

bool ByIdentity(const Found& a, const Found& b) {
    return std::tie(a.device, a.inode, a.path) < std::tie(b.device, b.inode, b.path);
}

bool SameIdentity(const Found& a, const Found& b) {
    return a.device == b.device && a.inode == b.inode;
}

// Entries that share a number from their folder listing are looked up: a
// file bind-mounted over another, or a file system that numbers its entries
// loosely, could give two files one number. `found` is sorted by identity
// and stays so.
void LookUpSharedNumbers(const GatheredFiles& files, std::vector<Found>& found) {
    bool looked = false;
    for (size_t begin = 0, end = 0; begin < found.size(); begin = end) {
        for (end = begin + 1; end < found.size() && SameIdentity(found[end], found[begin]); ++end) {
        }
        if (end - begin < 2) continue;
        for (size_t k = begin; k < end; ++k) {
            Found& f = found[k];
            if (f.examined) continue;
            looked = true;
            struct stat st {};
            const std::string path = files.Path(f.path);
            if (lstat(path.c_str(), &st) != 0 ||
                (S_ISLNK(st.st_mode) && stat(path.c_str(), &st) != 0)) {
                f.inode = 0;  // gone meanwhile: it is only itself
                continue;
            }
            f = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), f.path, f.link,
                 true};
        }
    }
    if (looked) {
        std::erase_if(found, [](const Found& f) { return f.inode == 0; });
        std::sort(found.begin(), found.end(), ByIdentity);
    }
}

}  // namespace

std::vector<FileFacts> ReadFileFacts(const GatheredFiles& files) {
    const size_t n = files.Count();
    std::vector<FileFacts> facts(n);
    std::vector<Found> found;
    found.reserve(n);
    for (size_t k = 0; k < n; ++k) {
        facts[k].firstPath = k;
        const ListedFileId& id = files.Id(k);
        if (id.inode != 0) found.push_back({id.device, id.inode, k, id.link, id.examined});
    }
    // Paths of one file end up side by side, the first path first.
    std::sort(found.begin(), found.end(), ByIdentity);
    LookUpSharedNumbers(files, found);

    for (size_t begin = 0, end = 0; begin < found.size(); begin = end) {
        bool anyLink = false, anyPlain = false;
        for (end = begin; end < found.size() && SameIdentity(found[end], found[begin]); ++end) {
            (found[end].link ? anyLink : anyPlain) = true;
        }
        for (size_t k = begin; k < end; ++k) {
            FileFacts& f = facts[found[k].path];
            f.firstPath = found[begin].path;
            f.linkedTarget = anyLink && anyPlain;
            f.onlyLinks = !anyPlain;
        }
    }
    return facts;
}

FileSizes::FileSizes(size_t count) : cells_(new std::atomic<uint64_t>[count]) {
    for (size_t k = 0; k < count; ++k) cells_[k].store(0, std::memory_order_relaxed);
}

std::optional<uint64_t> FileSizes::Of(size_t k, const std::string& path) const {
    uint64_t cell = cells_[k].load(std::memory_order_acquire);
    if (cell == 0) {
        struct stat st {};
        const uint64_t read =
            stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) + 2 : 1;
        // Should another thread have read it first, its reading stands.
        cell =
            cells_[k].compare_exchange_strong(cell, read, std::memory_order_acq_rel) ? read : cell;
    }
    if (cell == 1) return std::nullopt;
    return cell - 2;
}

}  // namespace mv
