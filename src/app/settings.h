#pragma once

#include <filesystem>
#include <string>

#include "app/ini_file.h"
#include "platform/program_folder.h"
#include "player/equalizer_bars.h"
#include "player/equalizer_presets.h"

// The program's settings, kept in Mp3Vandrel.ini in the program folder: read
// once at start-up, written once at Exit.
namespace mv {

inline constexpr const char* kListModifiedMessage =
    "Your Mp3 List has been modified without Mp3 Vandrel. There might be some problems with "
    "Edit List, Search and Compare.";

// Every key of the file, with the value it takes when the file or key is missing.
struct Settings {
    // [MAIN], in the order written
    bool shuffle = false;
    bool recCompare = true;
    bool minimize = true;
    bool versionCheck = true;
    bool recPlaylist = true;
    std::string percentage = "80";
    std::string extension = "Mp3";
    int displayMode = 0;
    int listCount = 0;
    std::string server = "localhost:8080";
    bool moveToTrash = false;       // "Move deleted files to the trash"
    bool alwaysKeepBetter = false;  // "Always keep the better copy"
    bool writeId3v2 = false;        // "Also write ID3v2 when saving"
    bool nameFromId3v2 = false;     // "Name from ID3v2 when present"
    bool windowsSafeNames = false;  // "Replace characters Windows cannot store"
    std::string lastFolder;         // the browser's folder at Exit; empty: none yet
    // [EQUALIZER]
    bool eqEnabled = false;
    EqualizerBars bars{};  // Bar01 .. Bar08
    // [EQPRESETS]: the user's equalizer presets, NAME=B1,...,B8, in order
    std::vector<EqualizerPreset> eqPresets;

    // Keys and sections this program does not use, written back as they were.
    IniDocument others;
};

struct ReadSettingsResult {
    Settings settings;
    bool fileFound = false;  // false on the first run
    // The file is there but could not be read: the message naming it and the
    // cause. Exit must then leave the file as it is.
    std::string readError;
};

// A missing or unreadable file gives the defaults; so does a value that is not
// a whole number where one is expected.
ReadSettingsResult ReadSettings(const std::filesystem::path& iniFile);

// Writes the whole file (temporary file renamed into place). An empty string on
// success, else a message.
std::string WriteSettings(const std::filesystem::path& iniFile, const Settings& settings);

// The settings as the lines of the file.
std::vector<std::string> FormatSettings(const Settings& settings);
Settings ParseSettings(const IniDocument& doc);

struct FileLineCount {
    bool readable = true;  // false: the file is there but cannot be read
    int lines = 0;         // 0 for an absent file
    std::string message;   // !readable: names the file and the cause
};
// The number of lines of a file.
FileLineCount CountFileLines(const std::filesystem::path& file);

struct ListCountCheckParams {
    std::filesystem::path programFolder;
    int storedListCount = 0;  // ListCount of the settings
};
struct ListCountCheckResult {
    // Lines of the Mp3 list now; when the list cannot be read, the stored
    // count, which Exit keeps.
    int lines = 0;
    // The warning to show: the list changed, or it cannot be read; empty when
    // the counts agree.
    std::string message;
};
// Has the Mp3 list been changed while the program was not running?
ListCountCheckResult CheckListCount(const ListCountCheckParams& params);

}  // namespace mv
