#include "ui/main/browser_listing.h"

#include <algorithm>
#include <filesystem>

namespace mv {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Lower(x)) < static_cast<unsigned char>(Lower(y));
    });
}

bool MatchesExtension(const std::string& name, const std::string& ext) {
    if (ext.empty()) return name.find('.') == std::string::npos;
    if (name.size() < ext.size() + 1) return false;
    const std::size_t dot = name.size() - ext.size() - 1;
    if (name[dot] != '.') return false;
    for (std::size_t i = 0; i < ext.size(); ++i) {
        if (Lower(name[dot + 1 + i]) != Lower(ext[i])) return false;
    }
    return true;
}

template <typename Keep>
std::vector<std::string> ListNames(const std::string& folder, Keep keep) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) return names;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        if (keep(*it, name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

}  // namespace

std::string JoinFolder(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::vector<std::string> ListMatchingFiles(const std::string& folder, const std::string& ext) {
    return ListNames(folder, [&](const std::filesystem::directory_entry& e, const std::string& n) {
        std::error_code ec;
        return e.is_regular_file(ec) && MatchesExtension(n, ext);
    });
}

std::vector<std::string> ListVisibleSubfolders(const std::string& folder) {
    return ListNames(folder, [](const std::filesystem::directory_entry& e, const std::string&) {
        std::error_code ec;
        return e.is_directory(ec);
    });
}

std::string NamePartOfFolder(const std::string& folder) {
    if (folder == "/") return folder;
    std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

}  // namespace mv
