#include "catalogue/windows/drive_chooser.h"

#include <gtest/gtest.h>

#include "support/widgets/scripted_dialogs.h"

namespace mv {

namespace {

std::vector<mv::Drive> Drives() {
    return {{"/", "/dev/sda1", "ext4", DriveType::Fixed},
            {"/media/cdrom", "/dev/sr0", "iso9660", DriveType::CdRom},
            {"/media/dvd", "/dev/sr1", "udf", DriveType::CdRom},
            {"/mnt/usb", "/dev/sdb1", "vfat", DriveType::Other}};
}

TEST(ChooseDriveOfType, OneDriveOfTheTypeIsTakenWithoutAWord) {
    ScriptedDialogs dialogs;
    EXPECT_EQ(ChooseDriveOfType(dialogs, nullptr, Drives(), DriveType::Fixed), "/");
    EXPECT_TRUE(dialogs.History().empty());
}

TEST(ChooseDriveOfType, NoDriveOfTheTypeSaysSo) {
    ScriptedDialogs dialogs;
    EXPECT_EQ(ChooseDriveOfType(dialogs, nullptr, {Drives()[3]}, DriveType::CdRom), "");
    EXPECT_EQ(dialogs.Texts(),
              QStringList{QStringLiteral("Your system contains no drive of the needed type.")});
}

// Several drives: the user types a mount point until it is one of the type,
// or gives up with a blank or Cancel.
TEST(ChooseDriveOfType, SeveralDrivesAskUntilAMountPointOfTheTypeIsTyped) {
    const struct {
        std::vector<std::optional<QString>> answers;
        std::string chosen;
    } cases[] = {
        {{QStringLiteral("/media/dvd/")}, "/media/dvd"},
        {{QStringLiteral("x"), QStringLiteral("/"), QStringLiteral(" /media/cdrom ")},
         "/media/cdrom"},
        {{QStringLiteral("/nowhere"), std::nullopt}, ""},
        {{QStringLiteral(" ")}, ""},
    };
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        for (const auto& answer : c.answers) dialogs.QueueText(answer);
        EXPECT_EQ(ChooseDriveOfType(dialogs, nullptr, Drives(), DriveType::CdRom), c.chosen);
        ASSERT_EQ(dialogs.History().size(), 2 * c.answers.size());
        EXPECT_TRUE(dialogs.Texts()[0].startsWith(
            QStringLiteral("Mp3 Vandrel detected more than 1 CD-ROM Drive in your system. You "
                           "will have to type the mount point")));
        EXPECT_TRUE(dialogs.Texts()[0].endsWith(QStringLiteral("\n/media/cdrom\n/media/dvd")));
        EXPECT_EQ(dialogs.History()[1].caption, QStringLiteral("Multiple CD-ROM drives selected"));
        EXPECT_EQ(dialogs.History()[1].initial, QStringLiteral(" "));
        EXPECT_EQ(dialogs.Pending(), 0u);
    }
}

}  // namespace

}  // namespace mv
