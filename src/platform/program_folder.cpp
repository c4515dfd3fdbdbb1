#include "platform/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/ascii_case.h"

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

bool RunsInstalled(const std::filesystem::path& executableFolder) {
    // The engine's place relative to the executables' folder comes from the
    // install layout (cmake/install.cmake).
    constexpr const char* kEngine = "libmv_xaudio.so";
    std::error_code ec;
    return !std::filesystem::exists(executableFolder / kEngine, ec) &&
           std::filesystem::exists(executableFolder / MV_ENGINE_FROM_BIN / kEngine, ec);
}

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto exeFolder = ec ? std::filesystem::path() : exe.parent_path();
    return ChooseProgramFolder(std::getenv("MP3VANDREL_HOME"),
                               RunsInstalled(exeFolder) ? std::filesystem::path() : exeFolder,
                               std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::filesystem::path FindProgramFile(const std::filesystem::path& folder,
                                      const std::string& name) {
    std::error_code ec;
    if (std::filesystem::exists(folder / name, ec)) return folder / name;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (EqualsIgnoringAsciiCase(it->path().filename().native(), name)) return it->path();
    }
    return folder / name;
}

}  // namespace mv
