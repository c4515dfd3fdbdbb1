#include "ui/main/walkthrough.h"

#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

void Say(Dialogs& dialogs, QWidget* parent, const std::string& text) {
    dialogs.Information(parent, DisplayText(text));
}

bool Ask(Dialogs& dialogs, QWidget* parent, const char* text) {
    // Nothing is deleted or overwritten by a Yes here.
    return dialogs.YesNo(parent, DisplayText(text), DefaultAnswer::Affirmative);
}

void Run(const std::function<void()>& command) {
    if (command) command();
}

// The welcome, and the way out for a user who has burned no CD.
bool Welcome(Dialogs& dialogs, QWidget* parent) {
    Say(dialogs, parent,
        "This walktrough will show you how to use the main feature of this program: The mp3 "
        "list. You only have to answer to the simples questions it will ask you. IMPORTANT: "
        "This walktrough will automatically perform certains actions, but it will NOT delete "
        "files, so don't worry about it :)");
    if (!Ask(dialogs, parent, "Do you have burned CD that contains any Mp3 files?")) {
        Say(dialogs, parent,
            "This walktrough is designed to show how to find dupes within burned CDs and fixed "
            "drives, but if you want to quick clean your hard drive from dupes, you do not need "
            "a walktrough. Simply select that hard drive in the drive selector and click 'Find "
            "dupe files in the folder' from the 'Dupes' menu. For more information, take a look "
            "at the Readme.txt file.");
        return false;
    }
    return true;
}

// Scans one CD after another into the Mp3 list until the user has no more.
bool CatalogueCds(Dialogs& dialogs, QWidget* parent, const WalkthroughSteps& steps) {
    const std::string cdDrive =
        steps.chooseDriveOfType ? steps.chooseDriveOfType(mv::DriveType::CdRom) : std::string();
    if (cdDrive.empty()) return false;
    if (steps.selectDrive) steps.selectDrive(cdDrive);

    // A question that leaves nothing changed on Cancel: OK is the default.
    while (dialogs.OkCancel(parent,
                            QStringLiteral("Please, insert a CD containing Mp3 files. If you "
                                           "have no more CD, press Cancel"),
                            DefaultAnswer::Affirmative)) {
        // The drive is a mount point here; it stands where the drive letter stood.
        Say(dialogs, parent,
            "Mp3 Vandrel will now scan your drive " + cdDrive +
                ". You can make it by yourself later by selecting the drive to scan with the "
                "drive selector, and click on 'Find all mp3 on this drive' in the 'List' menu.");
        Run(steps.bMakeClick);
        Say(dialogs, parent,
            "Mp3 vandrel found all mp3 on your drive. It will now add it to your Mp3 List. You "
            "can do it yourself later by clicking on 'Save found files to list' in the 'List' "
            "menu.");
        Run(steps.bSaveClick);
    }

    return true;
}

// Shows the list, then compares it with a hard disk if the user wants to.
bool CompareWithDisk(Dialogs& dialogs, QWidget* parent, const WalkthroughSteps& steps) {
    Say(dialogs, parent,
        "Congratulations, all your CD's files info are now stored in your Mp3 List. Mp3 Vandrel "
        "will now show you your list. You can look at that list anytime by clicking on 'Edit Mp3 "
        "List' in the 'List' menu.");
    Run(steps.bLStatsClick);

    if (Ask(dialogs, parent,
            "Do you want to check dupes between your CD's mp3 and your hard disk drive's ones?")) {
        const std::string disk =
            steps.chooseDriveOfType ? steps.chooseDriveOfType(mv::DriveType::Fixed) : std::string();
        if (disk.empty()) return false;
        if (steps.selectDrive) steps.selectDrive(disk);
        if (steps.openDriveRoot) steps.openDriveRoot(disk);
        Say(dialogs, parent,
            "Mp3 Vandrel will now try to find dupes between your Mp3 List and the selected hard "
            "disk drive. You can do it yourself (After you buildt your mp3 list, of course) by "
            "selecting a hard disk drive and click on 'Compare selected folder with my list' in "
            "the 'Dupes' menu.(Note: To make this operation as fastest as possible, Mp3 Vandrel "
            "will hide into the system bar while it compares. It will automatically show up when "
            "the comparison is finished.)");
        Run(steps.bCompareClick);
        Say(dialogs, parent,
            "Mp3 Vandrel did it's job. Did it find a lot of dupe files? They are listed in the 2 "
            "bottom lists. The left list contains the dupe files and the right one contains the "
            "dupe's reference. What to do with that list? First, look at the list to verify if "
            "theres any files that you do NOT want to delete. Select these files(To select "
            "multiple items, hold CTRL while selecting em) and click on 'Remove selected file(s) "
            "from list' from the 'Compare results' menu. This operation will NOT delete any "
            "files. Once all'good' files are removed from the list, click on 'Delete All' from "
            "the 'Compare results' menu.");
    }
    return true;
}

}  // namespace

void RunWalkthrough(Dialogs& dialogs, QWidget* parent, const WalkthroughSteps& steps) {
    if (!Welcome(dialogs, parent)) return;
    if (!CatalogueCds(dialogs, parent, steps)) return;
    if (!CompareWithDisk(dialogs, parent, steps)) return;
    Say(dialogs, parent,
        "You are now finished with the walktrough. The feature you used was the main one, but "
        "Mp3 Vandrel still have a lot of other features. Take a look at the Readme.txt file "
        "included with the package for more information.");
}

}  // namespace mv
