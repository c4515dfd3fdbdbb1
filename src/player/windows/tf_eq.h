#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "player/equalizer_presets.h"
#include "player/equalizer_record.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSlider;

namespace mv {

class Dialogs;
class PlayerControl;

// The equalizer window: the switch "Enable Equalizer" and eight vertical
// sliders; every change sends the whole equalizer to the player. Below them
// the preset box (the built-in presets, then the user's own), Save, Delete
// and Reset. Created hidden with the main window, shown by Misc > Equalizer
// (not modal).
class TfEQ : public QWidget {
    Q_OBJECT
  public:
    explicit TfEQ(QWidget* parent = nullptr);

    // The player component; null sends nothing.
    void SetPlayer(mv::PlayerControl* player) { player_ = player; }
    // Where a failure of the player after a click or a slider move goes (the
    // application's error handling); unset: one line on standard error.
    std::function<void(const std::string& what)> reportError;

    // Builds and sends the equalizer from the controls (raises the player's
    // exception).
    void UpdateEqualizer();
    // The handler of the switch and of every slider: sends the equalizer.
    void EqualizerControlChanged();
    // Misc > Equalizer.
    void Equalizer1Click();

    // The stored state at start: positions brought within -80..80. Each
    // control that changes sends the equalizer, as a user's change would.
    void Restore(bool enabled, const mv::EqualizerBars& bars);
    bool Enabled() const;
    mv::EqualizerBars Bars() const;

    // The questions of Save and Delete; unset: Save and Delete do nothing.
    void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
    // The user's own presets, as the settings keep them.
    void SetUserPresets(std::vector<mv::EqualizerPreset> presets);
    const std::vector<mv::EqualizerPreset>& UserPresets() const { return userPresets_; }

    // A preset chosen in the box: its bars, sent once.
    void cbPresetActivated(int index);
    // Asks a name (the chosen preset's by default) and keeps the bars under it.
    void bSavePresetClick();
    // Deletes the chosen user preset after asking; built-in ones stay.
    void bDeletePresetClick();
    // Every bar to 0, sent once.
    void bResetClick();

    QCheckBox* cbEq = nullptr;
    std::array<QSlider*, mv::kEqualizerBars> TrackBars{};
    QComboBox* cbPreset = nullptr;
    QPushButton* bSavePreset = nullptr;
    QPushButton* bDeletePreset = nullptr;
    QPushButton* bReset = nullptr;

  private:
    void BuildPresetRow();
    void FillPresetBox(const std::string& current);
    // Sets every bar, then sends the equalizer once (not once per bar).
    void SetBars(const mv::EqualizerBars& bars);
    // A slider moved by hand: the bars no longer are the chosen preset's.
    void BarMoved();

    mv::PlayerControl* player_ = nullptr;
    Dialogs* dialogs_ = nullptr;
    std::vector<mv::EqualizerPreset> userPresets_;
    bool settingBars_ = false;
};

}  // namespace mv
