#pragma once

#include <filesystem>

#include "app/settings.h"
#include "app/shell_seams.h"

namespace mv {

class Dialogs;
class TfPrinc;

// LoadSettings and SaveSettings: the settings file applied to the windows'
// controls at start-up and read back from them at Exit.

struct LoadSettingsParams {
    TfPrinc& window;
    Dialogs& dialogs;
    const ShellSeams& seams;
    std::filesystem::path iniFile;
};
struct LoadSettingsResult {
    mv::Settings settings;  // as read; kept for what no control shows
    bool firstRun = false;
    // The file is there but could not be read (start-up said so): Exit must
    // not replace it with the defaults.
    bool keepFile = false;
};
LoadSettingsResult LoadSettings(const LoadSettingsParams& params);

struct SaveSettingsParams {
    TfPrinc& window;
    const ShellSeams& seams;
    std::filesystem::path iniFile;
    // What LoadSettings read; its ListCount stays when the Mp3 list cannot be
    // read at Exit.
    const mv::Settings& loaded;
};
struct SaveSettingsResult {
    mv::Settings settings;  // as written
    std::string error;      // empty on success
};
SaveSettingsResult SaveSettings(const SaveSettingsParams& params);

// The controls' state as settings, starting from `base` for what they do not show.
mv::Settings CollectSettings(TfPrinc& window, const ShellSeams& seams, mv::Settings base);

}  // namespace mv
