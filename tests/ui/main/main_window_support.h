#pragma once

#include <QApplication>
#include <QString>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "player/player_control.h"
#include "support/core/folder_drives.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"
#include "ui/main/tf_princ.h"

namespace uitest {

// Latin-1 text as a QString (the window code allows no implicit conversions).
inline QString L(const char* s) {
    return QString::fromLatin1(s);
}

// Stands in for the audio player: records the files the window opens.
class RecordingPlayback : public mv::PlayerControl {
  public:
    std::vector<std::string> played;
    void InputOpen(const std::string& path) override { played.push_back(path); }
    void Stop() override {}
    void InputClose() override {}
    void OutputClose() override {}
    void Play() override {}
    void Pause() override {}
    void InputSeek(int32_t, int32_t) override {}
    void SetSpeed(int32_t) override {}
    void SetVolume(int32_t) override {}
    void SetEqualizer(const XA_EqualizerInfo*) override {}
    void AskEqualizer() override {}
};

// The test program's application (made by the shared Qt test main).
inline QApplication& App() {
    return mv::test::TestApplication();
}

using mv::test::FolderDrives;
using mv::test::TempTree;

}  // namespace uitest
