#include "catalogue/catalogue_names.h"

#include "catalogue/list_line.h"

namespace mv {

bool IsStorableName(std::string_view name) {
    return KindOfListLine(name) == ListLineKind::Title;
}

std::string UnstorableFolderPart(std::string_view driveRoot, std::string_view folder) {
    // Where the names below the root begin: after the root and its '/'.
    size_t start = 0;
    if (driveRoot == "/") {
        if (!folder.starts_with('/')) return {};
        start = 1;
    } else if (folder == driveRoot) {
        return {};
    } else if (folder.size() > driveRoot.size() && folder.starts_with(driveRoot) &&
               folder[driveRoot.size()] == '/') {
        start = driveRoot.size() + 1;
    } else {
        return {};
    }
    while (start < folder.size()) {
        size_t end = folder.find('/', start);
        if (end == std::string_view::npos) end = folder.size();
        // A doubled '/' is no name: the list skips it too.
        if (end > start && !IsStorableName(folder.substr(start, end - start))) {
            return std::string(folder.substr(0, end));
        }
        start = end + 1;
    }
    return {};
}

std::string NamesPassedOverMessage(const std::vector<std::string>& paths) {
    std::string text =
        "Left out, as the list would read these names as something else (a "
        "leading \\ starts a CD), a folder with everything in it:";
    for (const std::string& path : paths) text += "\n\"" + path + "\"";
    return text;
}

}  // namespace mv
