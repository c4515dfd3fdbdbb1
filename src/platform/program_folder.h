#pragma once

#include <filesystem>
#include <string>

namespace mv {

// The folder where the program keeps its own files (settings, catalogue, ban
// list, last playlist): $MP3VANDREL_HOME when set; otherwise the executable's
// folder when it is writable; otherwise $XDG_DATA_HOME/mp3vandrel (by default
// ~/.local/share/mp3vandrel). The folder is created when missing.
std::filesystem::path ProgramFolder();

// The same rule with its inputs given, for tests.
std::filesystem::path ChooseProgramFolder(const char* homeOverride,
                                          const std::filesystem::path& executableFolder,
                                          const char* xdgDataHome, const char* home);

}  // namespace mv
