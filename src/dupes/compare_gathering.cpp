#include "dupes/compare_gathering.h"

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

}  // namespace mv
