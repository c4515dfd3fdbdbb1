#include "dupes/compare_gathering.h"

#include <sys/stat.h>

#include <algorithm>
#include <tuple>

#include "platform/folder_listing.h"

namespace mv {

GatheredFiles GatherFiles(const std::vector<std::string>& folders, const std::string& ext) {
    GatheredFiles out;
    for (const auto& folder : folders) {
        auto names = ListFolderFiles(folder, ext);
        if (!names) {
            out.foldersPassedOver.push_back(folder);
            continue;
        }
        for (auto& name : *names) {
            out.paths.push_back(JoinPath(folder, name));
            out.names.push_back(std::move(name));
        }
    }
    return out;
}

GatheredFiles GatherListedFiles(const std::vector<FolderWithFiles>& folders) {
    GatheredFiles out;
    size_t total = 0;
    for (const auto& f : folders) total += f.files.size();
    out.names.reserve(total);
    out.paths.reserve(total);
    for (const auto& f : folders) {
        for (const auto& name : f.files) {
            out.paths.push_back(JoinPath(f.folder, name));
            out.names.push_back(name);
        }
    }
    return out;
}

std::vector<FileFacts> ReadFileFacts(const std::vector<std::string>& paths) {
    std::vector<FileFacts> facts(paths.size());
    struct Found {
        uint64_t device;
        uint64_t inode;
        size_t path;
        bool isLink;
    };
    std::vector<Found> found;
    found.reserve(paths.size());
    for (size_t k = 0; k < paths.size(); ++k) {
        FileFacts& f = facts[k];
        f.firstPath = k;
        // One lstat for a plain file; a link needs a second look at its target.
        struct stat st {};
        if (lstat(paths[k].c_str(), &st) != 0) continue;
        const bool isLink = S_ISLNK(st.st_mode);
        if (isLink && stat(paths[k].c_str(), &st) != 0) continue;
        f.size = static_cast<uint64_t>(st.st_size);
        f.sizeKnown = true;
        found.push_back(
            {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), k, isLink});
    }
    // Paths of one file end up side by side, the first path first.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.device, a.inode, a.path) < std::tie(b.device, b.inode, b.path);
    });
    for (size_t begin = 0, end = 0; begin < found.size(); begin = end) {
        bool anyLink = false, anyPlain = false;
        for (end = begin; end < found.size() && found[end].device == found[begin].device &&
                          found[end].inode == found[begin].inode;
             ++end) {
            (found[end].isLink ? anyLink : anyPlain) = true;
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

}  // namespace mv
