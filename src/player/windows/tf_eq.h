#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "player/equalizer_record.h"

class QCheckBox;
class QSlider;

namespace mv {

class PlayerControl;

// The equalizer window: the switch "Enable Equalizer" and eight vertical
// sliders; every change sends the whole equalizer to the player. Created
// hidden with the main window, shown by Misc > Equalizer (not modal).
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

    QCheckBox* cbEq = nullptr;
    std::array<QSlider*, mv::kEqualizerBars> TrackBars{};

  private:
    mv::PlayerControl* player_ = nullptr;
};

}  // namespace mv
