#include "ui/main/browser_listing.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/folder_listing.h"

namespace mv {

std::vector<std::string> ListMatchingFiles(const std::string& folder, const std::string& ext) {
    return ListFolderFiles(folder, ext).value_or(std::vector<std::string>{});
}

std::vector<std::string> ListVisibleSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    ListSubfolders(folder, names);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return LessIgnoringAsciiCase(a, b);
    });
    return names;
}

std::string NamePartOfFolder(const std::string& folder) {
    if (folder == "/") return folder;
    std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

}  // namespace mv
