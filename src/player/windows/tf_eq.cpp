#include "player/windows/tf_eq.h"

#include <QCheckBox>
#include <QSlider>
#include <cstdio>
#include <exception>

#include "player/player_control.h"

namespace mv {

namespace {

// Left edges of TrackBar01..08; all stand at top 24, 45 x 120.
constexpr std::array<int, mv::kEqualizerBars> kBarLefts = {2, 48, 95, 141, 188, 234, 281, 327};

}  // namespace

TfEQ::TfEQ(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fEQ"));
    setWindowTitle(QStringLiteral("Equalizer"));
    // The preset row stands below the sliders.
    setFixedSize(388, 177 + 28);
    cbEq = new QCheckBox(QStringLiteral("Enable Equalizer"), this);
    cbEq->setObjectName(QStringLiteral("cbEq"));
    cbEq->setGeometry(16, 5, 123, 17);
    connect(cbEq, &QCheckBox::clicked, this, &TfEQ::EqualizerControlChanged);
    for (int k = 0; k < mv::kEqualizerBars; ++k) {
        auto* bar = new QSlider(Qt::Vertical, this);
        bar->setObjectName(QStringLiteral("TrackBar0%1").arg(k + 1));
        bar->setGeometry(kBarLefts[static_cast<size_t>(k)], 24, 45, 120);
        bar->setRange(mv::kEqualizerBarMin, mv::kEqualizerBarMax);
        bar->setValue(0);
        bar->setPageStep(10);
        bar->setTickInterval(10);
        bar->setTickPosition(QSlider::TicksBothSides);
        // Qt draws a vertical slider's minimum at the bottom; the top end is -80 here.
        bar->setInvertedAppearance(true);
        bar->setInvertedControls(true);
        connect(bar, &QSlider::valueChanged, this, &TfEQ::BarMoved);
        TrackBars[static_cast<size_t>(k)] = bar;
    }
    BuildPresetRow();
}

bool TfEQ::Enabled() const {
    return cbEq->isChecked();
}

mv::EqualizerBars TfEQ::Bars() const {
    mv::EqualizerBars bars{};
    for (size_t k = 0; k < bars.size(); ++k) bars[k] = TrackBars[k]->value();
    return bars;
}

void TfEQ::UpdateEqualizer() {
    if (player_ == nullptr) return;
    if (!cbEq->isChecked()) {
        player_->SetEqualizer(nullptr);
        return;
    }
    // Built afresh each time: nothing of the record outlives the call.
    const XA_EqualizerInfo record = mv::BuildEqualizerRecord(Bars());
    player_->SetEqualizer(&record);
    player_->AskEqualizer();
}

void TfEQ::EqualizerControlChanged() {
    try {
        UpdateEqualizer();
    } catch (const std::exception& e) {
        if (reportError) {
            reportError(e.what());
        } else {
            std::fprintf(stderr, "mp3vandrel: a command stopped on an error: %s\n", e.what());
        }
    }
}

void TfEQ::Equalizer1Click() {
    show();
    raise();
    activateWindow();
}

void TfEQ::Restore(bool enabled, const mv::EqualizerBars& bars) {
    // The start-up said already that there is no sound when the engine is
    // missing; the equalizer's requests then fail and are let go.
    const auto saved = reportError;
    reportError = [](const std::string&) {};
    if (cbEq->isChecked() != enabled) {
        cbEq->setChecked(enabled);
        EqualizerControlChanged();
    }
    for (size_t k = 0; k < bars.size(); ++k) {
        TrackBars[k]->setValue(mv::ClampEqualizerBar(bars[k]));
    }
    reportError = saved;
}

}  // namespace mv
