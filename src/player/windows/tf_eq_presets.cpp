// The preset row of the equalizer window.
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "player/windows/tf_eq.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, QRect place) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    return button;
}

}  // namespace

void TfEQ::BuildPresetRow() {
    cbPreset = new QComboBox(this);
    cbPreset->setObjectName(QStringLiteral("cbPreset"));
    cbPreset->setGeometry(4, 180, 150, 22);
    cbPreset->setPlaceholderText(QStringLiteral("Presets"));
    bSavePreset = MakeButton(this, QStringLiteral("bSavePreset"), QStringLiteral("Save"),
                             QRect(160, 179, 70, 24));
    bDeletePreset = MakeButton(this, QStringLiteral("bDeletePreset"), QStringLiteral("Delete"),
                               QRect(234, 179, 70, 24));
    bReset = MakeButton(this, QStringLiteral("bReset"), QStringLiteral("Reset"),
                        QRect(308, 179, 76, 24));
    FillPresetBox({});
    connect(cbPreset, &QComboBox::activated, this, &TfEQ::cbPresetActivated);
    connect(bSavePreset, &QPushButton::clicked, this, &TfEQ::bSavePresetClick);
    connect(bDeletePreset, &QPushButton::clicked, this, &TfEQ::bDeletePresetClick);
    connect(bReset, &QPushButton::clicked, this, &TfEQ::bResetClick);
}

// Rows: the built-in presets, then the user's; `current` (a name) is chosen.
void TfEQ::FillPresetBox(const std::string& current) {
    cbPreset->clear();
    for (const EqualizerPreset& p : BuiltInEqualizerPresets())
        cbPreset->addItem(DisplayText(p.name));
    for (const EqualizerPreset& p : userPresets_) cbPreset->addItem(DisplayText(p.name));
    cbPreset->setCurrentIndex(current.empty() ? -1 : cbPreset->findText(DisplayText(current)));
}

void TfEQ::SetUserPresets(std::vector<EqualizerPreset> presets) {
    userPresets_.clear();
    // A hand-edited file may hold names no box could save; those stay out.
    for (EqualizerPreset& p : presets) {
        if (PresetNameProblem(p.name).empty()) SaveUserPreset(userPresets_, p);
    }
    FillPresetBox({});
}

void TfEQ::SetBars(const EqualizerBars& bars) {
    settingBars_ = true;
    for (size_t k = 0; k < bars.size(); ++k) TrackBars[k]->setValue(ClampEqualizerBar(bars[k]));
    settingBars_ = false;
    EqualizerControlChanged();
}

void TfEQ::BarMoved() {
    if (settingBars_) return;
    cbPreset->setCurrentIndex(-1);
    EqualizerControlChanged();
}

void TfEQ::cbPresetActivated(int index) {
    const auto& builtIn = BuiltInEqualizerPresets();
    if (index < 0) return;
    const size_t k = static_cast<size_t>(index);
    if (k < builtIn.size()) {
        SetBars(builtIn[k].bars);
    } else if (k - builtIn.size() < userPresets_.size()) {
        SetBars(userPresets_[k - builtIn.size()].bars);
    }
    cbPreset->setCurrentIndex(index);
}

void TfEQ::bSavePresetClick() {
    if (dialogs_ == nullptr) return;
    const size_t chosen = static_cast<size_t>(std::max(cbPreset->currentIndex(), 0));
    const size_t builtIns = BuiltInEqualizerPresets().size();
    // The chosen user preset is offered for saving over; a built-in one is not.
    const QString initial =
        cbPreset->currentIndex() >= 0 && chosen >= builtIns ? cbPreset->currentText() : QString();
    const auto typed = dialogs_->InputText(this, QStringLiteral("Save preset"),
                                           QStringLiteral("Name of the preset:"), initial);
    if (!typed) return;
    const std::string name = TypedBytes(*typed);
    if (const std::string problem = PresetNameProblem(name); !problem.empty()) {
        dialogs_->Information(this, DisplayText(problem));
        return;
    }
    SaveUserPreset(userPresets_, {name, Bars()});
    FillPresetBox(name);
}

void TfEQ::bDeletePresetClick() {
    const int index = cbPreset->currentIndex();
    const int builtIns = static_cast<int>(BuiltInEqualizerPresets().size());
    if (dialogs_ == nullptr || index < builtIns) return;
    const QString name = cbPreset->currentText();
    if (!dialogs_->YesNo(this, QStringLiteral("Delete the preset \"%1\"?").arg(name),
                         DefaultAnswer::Cautious)) {
        return;
    }
    DeleteUserPreset(userPresets_, TypedBytes(name));
    FillPresetBox({});
}

void TfEQ::bResetClick() {
    SetBars(EqualizerBars{});
    cbPreset->setCurrentIndex(-1);
}

}  // namespace mv
