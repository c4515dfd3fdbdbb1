// mv-bench-scan: one drive scan, or one plain recursive listing of the same
// tree as its yardstick, timed from outside (farm-bench) as whole processes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "catalogue/drive_scan.h"
#include "dupes/name_matcher.h"
#include "platform/ascii_case.h"
#include "platform/folder_listing.h"

namespace {

const char kUsage[] =
    "usage: mv-bench-scan scan DIR [EXT]   the drive scan (NormalizeName titles)\n"
    "       mv-bench-scan walk DIR         std::filesystem::recursive_directory_iterator\n"
    "       mv-bench-scan phases DIR [EXT] the scan's steps timed one by one\n";

// Every regular file below the root, hidden ones and all; links not followed.
int Walk(const std::string& root) {
    namespace fs = std::filesystem;
    const auto start = std::chrono::steady_clock::now();
    std::error_code ec;
    size_t files = 0, entries = 0;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        ++entries;
        std::error_code typeEc;
        if (it->is_regular_file(typeEc)) ++files;
    }
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("walk: %zu regular files, %zu entries in %.3f s\n", files, entries, s);
    return ec ? 1 : 0;
}

int Scan(const std::string& root, const std::string& ext) {
    const auto start = std::chrono::steady_clock::now();
    mv::DriveScanControl control;
    const mv::DriveScanResult r = mv::ScanDrive({root, ext, mv::NormalizeName}, control);
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("scan: %s in %zu folders, %zu passed over, in %.3f s\n", r.resultText.c_str(),
                static_cast<size_t>(control.foldersTotal.load()), r.foldersPassedOver.size(), s);
    return 0;
}

// The scan's steps one by one, to see where its time goes.
int Phases(const std::string& root, const std::string& ext) {
    using Clock = std::chrono::steady_clock;
    auto t = Clock::now();
    auto lap = [&t](const char* what) {
        const auto now = Clock::now();
        std::printf("  %-28s %.3f s\n", what, std::chrono::duration<double>(now - t).count());
        t = now;
    };
    mv::FolderFilesCollection collected = mv::CollectFolderFiles(root, ext);
    lap("CollectFolderFiles");
    std::sort(collected.folders.begin(), collected.folders.end(),
              [](const mv::FolderWithFiles& a, const mv::FolderWithFiles& b) {
                  return mv::LessIgnoringAsciiCase(a.folder, b.folder);
              });
    lap("sort folders");
    size_t n = 0;
    for (const auto& f : collected.folders)
        for (const auto& name : f.files) n += mv::NormalizeName(name).size();
    lap("NormalizeName");
    std::vector<std::string> paths;
    for (const auto& f : collected.folders)
        for (const auto& name : f.files) paths.push_back(mv::JoinPath(f.folder, name));
    lap("JoinPath");
    return n > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string_view what = argv[1];
    if (what == "walk" && argc == 3) return Walk(argv[2]);
    if (what == "phases" && argc <= 4) return Phases(argv[2], argc == 4 ? argv[3] : "Mp3");
    if (what == "scan" && argc <= 4) return Scan(argv[2], argc == 4 ? argv[3] : "Mp3");
    std::fputs(kUsage, stderr);
    return 2;
}
