#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "collection_plan.h"

// Writes a generated collection to disk: tiny .mp3 files (not playable, only
// their names and sizes matter) in artist/album folders, and optionally a
// catalogue file in the Mp3 list layout.
namespace mv {

struct CollectionParams {
    PlanParams plan;
    std::filesystem::path out;       // the collection's root, created if missing
    std::filesystem::path listFile;  // where the catalogue goes, when plan.listTitles > 0
};

struct CollectionResult {
    size_t filesWritten = 0;
    size_t nearDuplicates = 0;
    size_t listTitles = 0;
    size_t listLines = 0;
    std::vector<std::string> folders;  // the folders holding the files, sorted
    std::string error;                 // empty on success
};

CollectionResult GenerateCollection(const CollectionParams& params);

}  // namespace mv
