#include "collection_generator.h"

#include <cstdio>
#include <set>

#include "platform/text_lines.h"

namespace mv {
namespace {

bool WriteTinyFile(const std::filesystem::path& path, uint32_t size) {
    static const char kZeros[512] = {};
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = true;
    for (uint32_t left = size; left > 0 && ok;) {
        const uint32_t n = left < sizeof kZeros ? left : static_cast<uint32_t>(sizeof kZeros);
        ok = std::fwrite(kZeros, 1, n, f) == n;
        left -= n;
    }
    return std::fclose(f) == 0 && ok;
}

}  // namespace

CollectionResult GenerateCollection(const CollectionParams& params) {
    CollectionResult result;
    const CollectionPlan plan = PlanCollection(params.plan);
    std::set<std::string> made;     // folders created, or tried
    std::set<std::string> holding;  // folders that received a file
    auto ensureFolder = [&](const std::string& folder) {
        if (made.insert(folder).second) {
            std::error_code ec;
            std::filesystem::create_directories(params.out / folder, ec);
            if (ec && result.error.empty()) {
                result.error =
                    "Cannot create " + (params.out / folder).string() + ": " + ec.message();
            }
        }
    };
    for (const PlannedFile& f : plan.files) {
        ensureFolder(f.folder);
        if (!WriteTinyFile(params.out / f.folder / f.name, f.size)) {
            if (result.error.empty())
                result.error = "Cannot write " + (params.out / f.folder / f.name).string();
            continue;
        }
        ++result.filesWritten;
        holding.insert(f.folder);
        result.nearDuplicates += f.nearDuplicate;
    }
    for (const std::string& folder : plan.coverFolders) {
        if (made.count(folder)) WriteTinyFile(params.out / folder / "cover.jpg", 64);
    }
    for (const std::string& folder : holding)
        result.folders.push_back((params.out / folder).string());

    if (!plan.listLines.empty() && !params.listFile.empty()) {
        const std::string failure = WriteLinesAtomically(params.listFile, plan.listLines);
        if (!failure.empty() && result.error.empty()) result.error = failure;
        if (failure.empty()) {
            result.listLines = plan.listLines.size();
            result.listTitles = plan.listTitles;
        }
    }
    return result;
}

}  // namespace mv
