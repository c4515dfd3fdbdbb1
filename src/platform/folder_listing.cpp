#include "platform/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ascii_case.h"

namespace fs = std::filesystem;

namespace mv {
namespace {

// Wildcard match, ASCII letters compared without case.
bool WildcardMatch(std::string_view name, std::string_view pattern) {
    size_t n = 0, p = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' ||
             (pattern[p] != '*' && FoldAscii(pattern[p]) == FoldAscii(name[n])))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool IsHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

// Whether any entry of the folder, of whatever kind, matches the pattern.
bool HoldsMatch(const std::string& folder, const std::string& pattern) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return false;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (WildcardMatch(it->path().filename().native(), pattern)) return true;
        if (ec) break;
    }
    return false;
}

}  // namespace

std::string TrimFolderPath(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    return std::string(folder);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out = TrimFolderPath(folder);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

bool IsMp3Extension(std::string_view ext) {
    return EqualsIgnoringAsciiCase(ext, "mp3");
}

bool MatchesExtension(std::string_view name, std::string_view ext) {
    std::string pattern = "*.";
    pattern += ext;
    return WildcardMatch(name, pattern);
}

int ListSubfolders(const std::string& folder, std::vector<std::string>& out) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return 0;
    int count = 0;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const std::string name = it->path().filename().native();
        std::error_code statEc;
        if (!IsHidden(name) && it->symlink_status(statEc).type() == fs::file_type::directory) {
            out.push_back(name);
            ++count;
        }
        if (ec) break;
    }
    return count;
}

std::vector<std::string> CollectFolders(const std::string& root, const std::string& ext) {
    std::vector<std::string> all{TrimFolderPath(root)};
    std::vector<std::string> names;
    for (size_t i = 0; i < all.size(); ++i) {
        names.clear();
        ListSubfolders(all[i], names);
        for (const auto& n : names) all.push_back(JoinPath(all[i], n));
    }
    const std::string pattern = "*." + ext;
    std::vector<std::string> kept;
    for (auto& folder : all) {
        if (HoldsMatch(folder, pattern)) kept.push_back(std::move(folder));
    }
    return kept;
}

std::optional<std::vector<std::string>> ListFolderFiles(const std::string& folder,
                                                        const std::string& ext) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const std::string name = it->path().filename().native();
        std::error_code statEc;
        if (!IsHidden(name) && MatchesExtension(name, ext) && it->is_regular_file(statEc)) {
            names.push_back(name);
        }
        if (ec) break;
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return LessIgnoringAsciiCase(a, b);
    });
    return names;
}

}  // namespace mv
