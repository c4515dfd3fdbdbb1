#pragma once

#include <QApplication>
#include <QString>
#include <string>
#include <vector>

#include "platform/drives.h"
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

// Records the files the window asks to play.
class RecordingPlayback : public PlaybackSeam {
  public:
    std::vector<std::string> played;
    void PlayFile(const std::string& path) override { played.push_back(path); }
};

// The test program's application (made by the shared Qt test main).
inline QApplication& App() {
    return mv::test::TestApplication();
}

using mv::test::FolderDrives;
using mv::test::TempTree;

}  // namespace uitest
