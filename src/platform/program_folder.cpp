#include "platform/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace mv {

std::filesystem::path ChooseProgramFolder(const char* homeOverride,
                                          const std::filesystem::path& executableFolder,
                                          const char* xdgDataHome, const char* home) {
    std::filesystem::path folder;
    if (homeOverride != nullptr && *homeOverride != '\0') {
        folder = homeOverride;
    } else if (!executableFolder.empty() && ::access(executableFolder.c_str(), W_OK) == 0) {
        folder = executableFolder;
    } else if (xdgDataHome != nullptr && *xdgDataHome == '/') {
        folder = std::filesystem::path(xdgDataHome) / "mp3vandrel";
    } else {
        folder = std::filesystem::path(home != nullptr ? home : "/tmp") / ".local/share/mp3vandrel";
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ChooseProgramFolder(std::getenv("MP3VANDREL_HOME"),
                               ec ? std::filesystem::path() : exe.parent_path(),
                               std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

}  // namespace mv
