#pragma once

#include <array>
#include <functional>

#include "app/settings.h"

namespace mv {

class TfPrinc;
class TrayIcon;

// What the shell asks of the windows and components that other folders build
// (player, equalizer, list editor, version check). An unset seam is
// skipped; the settings a missing window would show pass through unchanged.
struct ShellSeams {
    // Start-up: the audio player component (may throw when the engine cannot
    // start; the program then runs without sound). The tray icon's tip follows
    // the music. Freed at Exit.
    std::function<void(TfPrinc&, TrayIcon&)> createPlayer;
    std::function<void()> freePlayer;

    // The list editor's display mode radio group.
    std::function<void(int)> setDisplayMode;
    std::function<int()> displayMode;
    // The equalizer window: enabled, then Bar01..Bar08.
    std::function<void(bool, const mv::EqualizerBars&)> applyEqualizer;
    std::function<bool()> equalizerEnabled;
    std::function<mv::EqualizerBars()> equalizerBars;
    // Its user presets (section EQPRESETS).
    std::function<void(const std::vector<mv::EqualizerPreset>&)> applyEqPresets;
    std::function<std::vector<mv::EqualizerPreset>()> eqPresets;
    // The version check that ends the settings load; `firstRun` when there was
    // no settings file.
    std::function<void(const mv::Settings&, bool firstRun)> checkVersion;

    // The position bar tbTrack: left button pressed / released on it.
    std::function<void()> seekPress;
    std::function<void()> seekRelease;
};

}  // namespace mv
