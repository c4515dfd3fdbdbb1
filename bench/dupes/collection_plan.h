#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a generated collection holds, decided before anything touches the
// disk: the same seed always gives the same files and the same catalogue.
namespace mv {

struct PlannedFile {
    std::string folder;  // relative to the collection's root, "/"-separated
    std::string name;
    uint32_t size = 0;  // bytes
    bool nearDuplicate = false;
};

struct CollectionPlan {
    std::vector<PlannedFile> files;
    std::vector<std::string> coverFolders;  // album folders that also hold a cover.jpg
    std::vector<std::string> listLines;     // the catalogue, empty when none was asked for
    size_t listTitles = 0;
};

struct PlanParams {
    size_t files = 300;
    uint32_t seed = 7;
    size_t listTitles = 0;  // 0: no catalogue
    double nearDuplicateShare = 0.10;
};

CollectionPlan PlanCollection(const PlanParams& params);

}  // namespace mv
