#include "catalogue/windows/drive_chooser.h"

#include "platform/folder_listing.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

std::string ChooseDriveOfType(Dialogs& dialogs, QWidget* parent,
                              const std::vector<mv::Drive>& drives, mv::DriveType type) {
    std::vector<std::string> roots;
    for (const mv::Drive& drive : drives) {
        if (drive.type == type) roots.push_back(drive.root);
    }
    if (roots.empty()) {
        dialogs.Information(parent,
                            QStringLiteral("Your system contains no drive of the needed type."));
        return {};
    }
    if (roots.size() == 1) return roots.front();

    const std::string kind = type == mv::DriveType::Fixed ? "Hard Disk Drive" : "CD-ROM Drive";
    std::string listed;
    for (const std::string& root : roots) listed += "\n" + root;
    const QString message =
        DisplayText("Mp3 Vandrel detected more than 1 " + kind +
                    " in your system. You will have to type the mount point of the drive you "
                    "wish to scan (ex: " +
                    roots.front() + "). The drives of that type:" + listed);
    for (;;) {
        dialogs.Information(parent, message);
        const QString answer =
            dialogs
                .InputText(parent, QStringLiteral("Multiple CD-ROM drives selected"),
                           QStringLiteral("Type desired drive's mount point"), QStringLiteral(" "))
                .value_or(QStringLiteral(" "));
        const std::string typed = TypedBytes(answer.trimmed());
        if (typed.empty()) return {};  // the user gives up
        const std::string wanted = mv::TrimFolderPath(typed);
        for (const std::string& root : roots) {
            if (root == wanted) return root;
        }
    }
}

}  // namespace mv
