#include "app/settings_binding.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <exception>

#include "app/shell_options.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"
#include "ui/main/file_browser.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

// Sets a box's text as it stands: a hand-written value may be longer than
// the typing limit, which applies to typing only.
void SetBoxText(QLineEdit* box, const QString& text) {
    if (text.size() > box->maxLength()) box->setMaxLength(static_cast<int>(text.size()));
    box->setText(text);
}

// A request the equalizer passes to the audio engine fails when the engine
// could not start; start-up goes on without sound.
template <typename F>
void Absorb(const char* what, F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mp3vandrel: %s failed: %s\n", what, e.what());
    }
}

}  // namespace

LoadSettingsResult LoadSettings(const LoadSettingsParams& p) {
    const auto read = mv::ReadSettings(p.iniFile);
    const mv::Settings& s = read.settings;
    TfPrinc& w = p.window;
    if (!read.readError.empty())
        p.dialogs.Information(
            &w, DisplayText(read.readError + " The settings start from their defaults and are "
                                             "not saved at Exit."));

    // Check boxes and edit boxes run their handlers as a user change would;
    // menu check marks run nothing.
    const TfPrinc::ShellControls c = w.Controls();
    c.cbShuffle->setChecked(s.shuffle);
    c.cbRec->setChecked(s.recCompare);
    c.cbMinimize->setChecked(s.minimize);
    c.tmiVerCheck->setChecked(s.versionCheck);
    c.tmiRecurse->setChecked(s.recPlaylist);
    c.tmiTrash->setChecked(s.moveToTrash);
    c.tmiAlwaysBetter->setChecked(s.alwaysKeepBetter);
    c.tmiWriteId3v2->setChecked(s.writeId3v2);
    c.tmiNameFromId3v2->setChecked(s.nameFromId3v2);
    c.tmiWindowsSafe->setChecked(s.windowsSafeNames);
    SetBoxText(c.ePerc, DisplayText(s.percentage));
    SetBoxText(c.eExt, DisplayText(s.extension));
    if (p.seams.setDisplayMode) p.seams.setDisplayMode(s.displayMode);

    // Without the file the stored count is unknown: no check, no false warning.
    if (read.readError.empty()) {
        const auto check = mv::CheckListCount({p.iniFile.parent_path(), s.listCount});
        if (!check.message.empty()) p.dialogs.Information(&w, DisplayText(check.message));
    }

    if (p.seams.applyEqualizer)
        Absorb("equalizer", [&] { p.seams.applyEqualizer(s.eqEnabled, s.bars); });
    if (p.seams.applyEqPresets) p.seams.applyEqPresets(s.eqPresets);
    if (p.seams.checkVersion) p.seams.checkVersion(s, !read.fileFound);
    return {s, !read.fileFound, !read.readError.empty()};
}

mv::Settings CollectSettings(TfPrinc& w, const ShellSeams& seams, mv::Settings s) {
    const TfPrinc::ShellControls c = w.Controls();
    s.shuffle = c.cbShuffle->isChecked();
    s.recCompare = c.cbRec->isChecked();
    s.minimize = c.cbMinimize->isChecked();
    s.versionCheck = c.tmiVerCheck->isChecked();
    s.recPlaylist = c.tmiRecurse->isChecked();
    s.moveToTrash = c.tmiTrash->isChecked();
    s.alwaysKeepBetter = c.tmiAlwaysBetter->isChecked();
    s.writeId3v2 = c.tmiWriteId3v2->isChecked();
    s.nameFromId3v2 = c.tmiNameFromId3v2->isChecked();
    s.windowsSafeNames = c.tmiWindowsSafe->isChecked();
    s.percentage = TypedBytes(c.ePerc->text());
    s.extension = TypedBytes(c.eExt->text());
    s.lastFolder = mv::LastFolderToKeep(w.Browser().Folder());
    if (seams.displayMode) s.displayMode = seams.displayMode();
    if (seams.equalizerEnabled) s.eqEnabled = seams.equalizerEnabled();
    if (seams.equalizerBars) s.bars = seams.equalizerBars();
    if (seams.eqPresets) s.eqPresets = seams.eqPresets();
    return s;
}

SaveSettingsResult SaveSettings(const SaveSettingsParams& p) {
    SaveSettingsResult r;
    r.settings = CollectSettings(p.window, p.seams, p.loaded);
    const auto count =
        mv::CountFileLines(mv::FindProgramFile(p.iniFile.parent_path(), mv::kMp3ListFileName));
    // A list that cannot be read has not changed as far as anyone knows.
    r.settings.listCount = count.readable ? count.lines : p.loaded.listCount;
    r.error = mv::WriteSettings(p.iniFile, r.settings);
    return r;
}

}  // namespace mv
