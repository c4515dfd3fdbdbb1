#pragma once

#include <functional>
#include <string>

#include "platform/drives.h"

class QWidget;

namespace mv {

class Dialogs;

// The commands the walkthrough runs, exactly as the menus run them.
struct WalkthroughSteps {
    // The root of a drive of the type, or empty (the chooser showed why).
    std::function<std::string(mv::DriveType)> chooseDriveOfType;
    std::function<void(const std::string& root)> selectDrive;  // dc := that drive
    std::function<void(const std::string& root)>
        openDriveRoot;  // its root becomes the browser folder
    std::function<void()> bMakeClick;
    std::function<void()> bSaveClick;
    std::function<void()> bLStatsClick;
    std::function<void()> bCompareClick;
};

// tmiWalkClick: the guided tour of the main use, cataloguing burned CDs and
// then finding the files of a hard disk that are already on them. A fixed
// sequence of messages and questions with the commands run in between; it
// checks no command's result and deletes nothing. Returns when the tour ends.
void RunWalkthrough(Dialogs& dialogs, QWidget* parent, const WalkthroughSteps& steps);

}  // namespace mv
