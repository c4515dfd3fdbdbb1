#include "catalogue/cd_block.h"

#include <optional>
#include <string_view>

#include "catalogue/list_line.h"

namespace mv {
namespace {

// A path without the trailing '/' that only the file-system root keeps.
std::string_view WithoutTrailingSlash(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return path;
}

// The components of `folder` below `root`; nullopt when the folder is not on
// the drive. Empty components (doubled '/') are not folders and are skipped.
std::optional<std::vector<std::string>> ComponentsBelow(std::string_view root,
                                                        std::string_view folder) {
    root = WithoutTrailingSlash(root);
    folder = WithoutTrailingSlash(folder);
    std::string_view rest;
    if (root == "/") {
        if (folder.empty() || folder.front() != '/') return std::nullopt;
        rest = folder.substr(1);
    } else if (folder == root) {
        rest = {};
    } else if (folder.size() > root.size() && folder.starts_with(root) &&
               folder[root.size()] == '/') {
        rest = folder.substr(root.size() + 1);
    } else {
        return std::nullopt;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('/', start);
        if (end == std::string_view::npos) end = rest.size();
        if (end > start) parts.emplace_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Stored(std::string_view text, bool& replaced) {
    std::string line = ToSingleLine(text);
    if (line != text) replaced = true;
    return line;
}

// A marker line ('\\' for the block's name, '/' for a folder). Built by
// appending: GCC 12 warns falsely (-Wrestrict) about "/" + std::string when
// optimising.
std::string MarkerLine(char marker, const std::string& text) {
    std::string line(1, marker);
    line += text;
    return line;
}

}  // namespace

CdBlockResult BuildCdBlock(const CdBlockParams& params) {
    CdBlockResult result;
    // Every folder is checked before anything is built, so a refused block
    // leaves no half-written lines behind.
    std::vector<std::vector<std::string>> folders;
    folders.reserve(params.files.size());
    for (const auto& file : params.files) {
        auto parts = ComponentsBelow(params.driveRoot, file.folder);
        if (!parts) {
            result.error =
                "The folder " + file.folder + " is not on the drive " + params.driveRoot + ".";
            return result;
        }
        folders.push_back(std::move(*parts));
    }

    auto& lines = result.lines;
    lines.push_back(MarkerLine('\\', Stored(params.name, result.lineBreaksReplaced)));

    // The current folder as its components below the root. Paths with a common
    // prefix of components are exactly the folders where path + "/" begins the
    // other path, and the root (no components) contains every folder.
    std::vector<std::string> current;
    for (size_t i = 0; i < params.files.size(); ++i) {
        const std::string title = Stored(params.files[i].title, result.lineBreaksReplaced);
        if (KindOfListLine(title) != ListLineKind::Title) {
            result.titlesPassedOver.push_back(params.files[i].title);
            continue;
        }
        const auto& target = folders[i];
        if (target != current) {
            size_t common = 0;
            while (common < current.size() && common < target.size() &&
                   current[common] == target[common]) {
                ++common;
            }
            for (size_t up = common; up < current.size(); ++up) lines.emplace_back("..");
            for (size_t down = common; down < target.size(); ++down) {
                lines.push_back(MarkerLine('/', Stored(target[down], result.lineBreaksReplaced)));
            }
            current = target;
        }
        lines.push_back(title);
        ++result.titleCount;
    }
    for (size_t up = 0; up < current.size(); ++up) lines.emplace_back("..");
    return result;
}

}  // namespace mv
