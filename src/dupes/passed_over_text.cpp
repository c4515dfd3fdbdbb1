#include "dupes/passed_over_text.h"

namespace mv {

std::string PassedOverNote(std::size_t folderCount) {
    if (folderCount == 0) return {};
    return " (" + std::to_string(folderCount) + (folderCount == 1 ? " folder" : " folders") +
           " not read)";
}

std::string PassedOverMessage(const std::vector<std::string>& folders, std::size_t maxListed) {
    std::string text = folders.size() == 1
                           ? std::string(
                                 "This folder could not be read, so its files were not "
                                 "compared:\n")
                           : std::to_string(folders.size()) +
                                 " folders could not be read, so their files were not compared:\n";
    for (std::size_t k = 0; k < folders.size() && k < maxListed; ++k) text += "\n" + folders[k];
    if (folders.size() > maxListed) {
        text += "\n... and " + std::to_string(folders.size() - maxListed) + " more.";
    }
    return text;
}

}  // namespace mv
