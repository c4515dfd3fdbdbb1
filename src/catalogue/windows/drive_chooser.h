#pragma once

#include <string>
#include <vector>

#include "platform/drives.h"

class QWidget;

namespace mv {

class Dialogs;

// ChooseDriveOfType: the drive of the wanted type the drive scan or the
// walkthrough should use. One such drive is taken as it is; with several the
// user types its mount point (a drive is a mount point here, so the texts ask
// for one). Returns the drive's root, or an empty text when there is no drive
// of the type or the user gives up (an answer that is blank or cancelled).
std::string ChooseDriveOfType(Dialogs& dialogs, QWidget* parent,
                              const std::vector<mv::Drive>& drives, mv::DriveType type);

}  // namespace mv
