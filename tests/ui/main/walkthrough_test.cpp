#include "ui/main/walkthrough.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/widgets/scripted_dialogs.h"

namespace mv {

namespace {

// Runs the tour with scripted answers and records the commands it runs.
struct Tour {
    ScriptedDialogs dialogs;
    std::vector<std::string> ran;
    std::string cdDrive = "/media/cdrom";
    std::string disk = "/";

    std::vector<std::string> Run() {
        WalkthroughSteps steps;
        steps.chooseDriveOfType = [this](mv::DriveType type) {
            ran.push_back(type == mv::DriveType::CdRom ? "choose cd" : "choose disk");
            return type == mv::DriveType::CdRom ? cdDrive : disk;
        };
        steps.selectDrive = [this](const std::string& root) { ran.push_back("select " + root); };
        steps.openDriveRoot = [this](const std::string& root) { ran.push_back("open " + root); };
        steps.bMakeClick = [this] { ran.push_back("make"); };
        steps.bSaveClick = [this] { ran.push_back("save"); };
        steps.bLStatsClick = [this] { ran.push_back("stats"); };
        steps.bCompareClick = [this] { ran.push_back("compare"); };
        RunWalkthrough(dialogs, nullptr, steps);
        EXPECT_EQ(dialogs.Pending(), 0u) << "answers left unused";
        return ran;
    }
    // The first three words of every box shown.
    std::vector<std::string> Openings() const {
        std::vector<std::string> out;
        for (const QString& text : dialogs.Texts()) {
            out.push_back(
                text.split(QLatin1Char(' ')).mid(0, 3).join(QLatin1Char(' ')).toStdString());
        }
        return out;
    }
};

TEST(Walkthrough, NoBurnedCdOnlyExplains) {
    Tour tour;
    tour.dialogs.QueueReply(false);
    EXPECT_EQ(tour.Run(), std::vector<std::string>{});
    EXPECT_EQ(tour.Openings(), (std::vector<std::string>{"This walktrough will", "Do you have",
                                                         "This walktrough is"}));
}

TEST(Walkthrough, NoCdDriveEndsTheTourSilently) {
    Tour tour;
    tour.cdDrive.clear();
    tour.dialogs.QueueReply(true);
    EXPECT_EQ(tour.Run(), std::vector<std::string>{"choose cd"});
    EXPECT_EQ(tour.dialogs.Texts().size(), 2);
}

TEST(Walkthrough, CancelAtTheFirstCdGoesOnToTheListAndTheEnd) {
    Tour tour;
    tour.dialogs.QueueReply(true);   // burned CDs
    tour.dialogs.QueueReply(false);  // no CD inserted
    tour.dialogs.QueueReply(false);  // no dupes check
    EXPECT_EQ(tour.Run(), (std::vector<std::string>{"choose cd", "select /media/cdrom", "stats"}));
    EXPECT_EQ(tour.Openings(), (std::vector<std::string>{
                                   "This walktrough will", "Do you have", "Please, insert a",
                                   "Congratulations, all your", "Do you want", "You are now"}));
    // Questions that change nothing keep Yes / OK as their default.
    for (const auto& shown : tour.dialogs.History()) {
        if (shown.kind == ScriptedDialogs::Kind::Information) continue;
        EXPECT_EQ(shown.defaultAnswer, DefaultAnswer::Affirmative);
    }
}

TEST(Walkthrough, ThreeCdsThenTheDiskComparison) {
    Tour tour;
    tour.dialogs.QueueReply(true);
    for (int cd = 0; cd < 3; ++cd) tour.dialogs.QueueReply(true);
    tour.dialogs.QueueReply(false);  // no more CDs
    tour.dialogs.QueueReply(true);   // check the hard disk
    EXPECT_EQ(tour.Run(),
              (std::vector<std::string>{"choose cd", "select /media/cdrom", "make", "save", "make",
                                        "save", "make", "save", "stats", "choose disk", "select /",
                                        "open /", "compare"}));
    const QStringList texts = tour.dialogs.Texts();
    EXPECT_EQ(texts.filter(QStringLiteral("will now scan your drive /media/cdrom. You can make it"))
                  .size(),
              3);
    EXPECT_TRUE(texts.last().startsWith(QStringLiteral("You are now finished")));
    EXPECT_TRUE(texts[texts.size() - 2].startsWith(QStringLiteral("Mp3 Vandrel did it's job.")));
}

TEST(Walkthrough, NoHardDiskEndsBeforeTheComparison) {
    Tour tour;
    tour.disk.clear();
    tour.dialogs.QueueReply(true);
    tour.dialogs.QueueReply(false);
    tour.dialogs.QueueReply(true);
    EXPECT_EQ(tour.Run(), (std::vector<std::string>{"choose cd", "select /media/cdrom", "stats",
                                                    "choose disk"}));
    EXPECT_TRUE(tour.dialogs.Texts().last().startsWith(QStringLiteral("Do you want to check")));
}

}  // namespace

}  // namespace mv
