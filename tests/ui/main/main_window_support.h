#pragma once

#include <QApplication>
#include <QList>
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "player/player_control.h"
#include "support/core/folder_drives.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace uitest {

// Latin-1 text as a QString (the window code allows no implicit conversions).
inline QString L(const char* s) {
    return QString::fromLatin1(s);
}

// The window's control of that name. Every control's objectName is its
// design name, so tests reach the controls the way a user names them rather
// than through the window's members; a name that is missing or not unique
// fails the test.
template <typename T>
T* Find(const QObject& window, const char* name) {
    const QList<T*> found = window.findChildren<T*>(QString::fromLatin1(name));
    if (found.size() != 1) {
        throw std::logic_error(std::string(name) + ": " + std::to_string(found.size()) +
                               " controls of that name");
    }
    return found.front();
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

}  // namespace mv
