#include "ui/main/browser_listing.h"

#include <algorithm>

#include "platform/folder_listing.h"

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

}  // namespace

std::vector<std::string> ListMatchingFiles(const std::string& folder, const std::string& ext) {
    return ListFolderFiles(folder, ext).value_or(std::vector<std::string>{});
}

std::vector<std::string> ListVisibleSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    ListSubfolders(folder, names);
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

std::string NamePartOfFolder(const std::string& folder) {
    if (folder == "/") return folder;
    std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

}  // namespace mv
