#pragma once

#include <filesystem>
#include <string>

namespace mv {

// The folder where the program keeps its own files (settings, catalogue, ban
// list, last playlist): $MP3VANDREL_HOME when set; otherwise the executable's
// folder when it is writable and the program runs from where it was built (or
// was copied with its engine beside it); otherwise, and always once installed,
// $XDG_DATA_HOME/mp3vandrel (by default ~/.local/share/mp3vandrel). The folder
// is created when missing.
std::filesystem::path ProgramFolder();

// True for an installed program: no audio engine lies beside the executable,
// but one lies in the install's engine folder below the library folder (a
// build folder keeps the engine beside its executables). Root running
// /usr/bin/mp3vandrel must not fill /usr/bin with its files.
bool RunsInstalled(const std::filesystem::path& executableFolder);

// The same rule with its inputs given, for tests.
std::filesystem::path ChooseProgramFolder(const char* homeOverride,
                                          const std::filesystem::path& executableFolder,
                                          const char* xdgDataHome, const char* home);

// The files the program keeps in its folder, by the names it writes them under.
inline constexpr const char* kSettingsFileName = "Mp3Vandrel.ini";
inline constexpr const char* kMp3ListFileName = "Mp3List.txt";
inline constexpr const char* kBanListFileName = "BanList.txt";
inline constexpr const char* kLastListFileName = "LastList.txt";
inline constexpr const char* kDeletedFilesLogName = "DeletedFiles.log";
// Held by the one program running on the folder (never read as data).
inline constexpr const char* kLockFileName = "Mp3Vandrel.lock";

// A file of the program folder whatever the ASCII letter case of its name on
// disk ("Mp3List.txt", "mp3list.TXT"), since catalogues copied from Windows
// keep their own spelling; `folder / name` when none exists yet.
std::filesystem::path FindProgramFile(const std::filesystem::path& folder, const std::string& name);

}  // namespace mv
