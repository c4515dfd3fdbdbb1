#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>

#include "ui/common/fitting_label.h"
#include "ui/common/proportional_layout.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

struct Design {
    const char* name;
    mv::LayoutRect rect;
};

// The design rectangles of the window's children and of the music panel's.
const Design kWindowChildren[] = {
    {"dc", {4, 0, 141, 19}},          {"brefresh", {152, 0, 65, 17}},
    {"bRename", {224, 0, 145, 17}},   {"bRenameAll", {368, 0, 145, 17}},
    {"Label13", {520, 0, 273, 17}},   {"dl", {6, 24, 215, 217}},
    {"fl", {224, 24, 289, 185}},      {"pTag", {224, 24, 289, 209}},
    {"pMC", {224, 208, 289, 121}},    {"lPlayList", {516, 24, 277, 305}},
    {"Label3", {4, 248, 155, 13}},    {"ePerc", {184, 248, 33, 21}},
    {"Label1", {4, 272, 102, 13}},    {"eExt", {184, 272, 33, 21}},
    {"bCancel", {6, 304, 215, 25}},   {"lRes", {611, 334, 184, 13}},
    {"gp", {6, 336, 603, 12}},        {"lList", {6, 352, 387, 13}},
    {"lRef", {392, 352, 403, 13}},    {"lbCompRes", {4, 368, 393, 169}},
    {"lbFile", {396, 368, 397, 169}}, {"lVersion", {0, 544, 793, 13}},
};
const Design kPanelChildren[] = {
    {"Label10", {8, 2, 273, 25}},     {"Label11", {16, 24, 113, 17}},
    {"Label12", {160, 24, 105, 17}},  {"tbPitch", {8, 40, 129, 25}},
    {"tbVolume", {152, 40, 129, 25}}, {"bStop", {16, 64, 89, 17}},
    {"bPause", {120, 64, 89, 17}},    {"cbShuffle", {216, 63, 65, 20}},
    {"tbTrack", {16, 88, 241, 18}},   {"bNext", {256, 90, 25, 15}},
    {"lTime", {16, 106, 241, 13}},
};

void ExpectNear(QWidget* w, mv::LayoutRect want, double scale, const char* name) {
    ASSERT_NE(w, nullptr) << name;
    EXPECT_NEAR(w->x(), want.left * scale, 1.0) << name;
    EXPECT_NEAR(w->y(), want.top * scale, 1.0) << name;
    EXPECT_NEAR(w->width(), want.width * scale, 1.0) << name;
    EXPECT_NEAR(w->height(), want.height * scale, 1.0) << name;
}

class LayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        drives.roots = {tree.Root()};
        window = std::make_unique<TfPrinc>(dialogs, drives, tree.Root());
    }
    uitest::TempTree tree;
    ScriptedDialogs dialogs;
    uitest::FolderDrives drives;
    std::unique_ptr<TfPrinc> window;
};

TEST(ProportionalLayoutCore, ContentsInsideTheWidthAreLeftAlone) {
    mv::LayoutShares fits = mv::CaptureShares({{10, 10, 100, 10}}, 200, 100);
    mv::FitSharesIntoWidth(fits);
    EXPECT_FLOAT_EQ(fits.widthShares[0], 0.5f);
    EXPECT_FLOAT_EQ(mv::CaptureShares({{1, 1, 1, 1}}, 0, 0).widthShares[0], 0.0f);
}

TEST(ProportionalLayoutCore, PlacementTruncatesInsteadOfRounding) {
    mv::LayoutShares shares = mv::CaptureShares({{0, 0, 2, 2}}, 3, 3);  // 0.666...
    EXPECT_EQ(mv::PlaceFromShares(shares, 0, 4, 4).width, 2);           // 2.67 -> 2
}

TEST_F(LayoutTest, DesignSizeKeepsEveryControlWithinAPixel) {
    EXPECT_FALSE(window->LayoutCaptured());
    window->resize(900, 700);  // before capture nothing moves
    ExpectNear(uitest::Find<QListWidget>(*window, "fl"), {224, 24, 289, 185}, 1.0,
               "fl before capture");
    window->resize(TfPrinc::kDesignWidth, TfPrinc::kDesignHeight);
    window->CaptureLayout();
    for (const Design& d : kWindowChildren) {
        ExpectNear(window->findChild<QWidget*>(QString::fromLatin1(d.name)), d.rect, 1.0, d.name);
    }
    for (const Design& d : kPanelChildren) {
        ExpectNear(
            uitest::Find<QFrame>(*window, "pMC")->findChild<QWidget*>(QString::fromLatin1(d.name)),
            d.rect, 1.0, d.name);
    }
}

TEST_F(LayoutTest, DoublingTheWindowDoublesRectanglesButNotTheTagPanelChildren) {
    window->resize(TfPrinc::kDesignWidth, TfPrinc::kDesignHeight);
    window->CaptureLayout();
    window->resize(2 * TfPrinc::kDesignWidth, 2 * TfPrinc::kDesignHeight);
    window->FormResize();
    for (const Design& d : kWindowChildren) {
        ExpectNear(window->findChild<QWidget*>(QString::fromLatin1(d.name)), d.rect, 2.0, d.name);
    }
    for (const Design& d : kPanelChildren) {
        ExpectNear(
            uitest::Find<QFrame>(*window, "pMC")->findChild<QWidget*>(QString::fromLatin1(d.name)),
            d.rect, 2.0, d.name);
    }
    ExpectNear(uitest::Find<QPushButton>(*window, "bSaveTag"), {40, 178, 89, 25}, 1.0, "bSaveTag");
    ExpectNear(uitest::Find<QLabel>(*window, "Label4"), {120, 8, 72, 21}, 1.0, "Label4");
}

TEST_F(LayoutTest, NarrowWindowAtCaptureFitsItsContents) {
    window->resize(700, TfPrinc::kDesignHeight);
    window->CaptureLayout();
    const double divisor = 795.0 / 700.0 + 0.03;
    QWidget* lRef = uitest::Find<QLabel>(*window, "lRef");
    EXPECT_NEAR(lRef->x() + lRef->width(), 795.0 / divisor, 2.0);
    EXPECT_LT(lRef->x() + lRef->width(), 700);
    EXPECT_NEAR(uitest::Find<QListView>(*window, "lbCompRes")->height(), 169.0 / divisor, 1.0);
}

// What "still reads" means for one control at the window's present size.
std::vector<std::string> ReadabilityFaults(TfPrinc& window) {
    std::vector<std::string> faults;
    const auto name = [](const QWidget* w) { return w->objectName().toStdString(); };
    for (FittingLabel* label : window.findChildren<FittingLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(&window)) continue;
        QFont font = label->font();
        font.setPixelSize(label->FittedPixelSize());
        const QFontMetrics metrics(font);
        if (font.pixelSize() < 8) faults.push_back(name(label) + ": text below 8 px");
        if (metrics.horizontalAdvance(label->text()) > label->contentsRect().width()) {
            faults.push_back(name(label) + ": text cut at the right");
        }
        if (metrics.ascent() + metrics.descent() > label->height() + 2) {
            faults.push_back(name(label) + ": text cut at the bottom");
        }
    }
    for (QLineEdit* box :
         {uitest::Find<QLineEdit>(window, "ePerc"), uitest::Find<QLineEdit>(window, "eExt")}) {
        const int needed = box->fontMetrics().horizontalAdvance(box->text()) + 6;
        if (needed > box->width()) faults.push_back(name(box) + ": text cut");
    }
    // A label's text never runs into a control beside or below it.
    for (QWidget* parent :
         {static_cast<QWidget*>(uitest::Find<QFrame>(window, "pMC")), window.centralWidget()}) {
        const QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            auto* label = qobject_cast<FittingLabel*>(child);
            if (label == nullptr || label->text().isEmpty()) continue;
            QFont font = label->font();
            font.setPixelSize(label->FittedPixelSize());
            const QFontMetrics metrics(font);
            const int textWidth =
                std::min(metrics.horizontalAdvance(label->text()), label->contentsRect().width());
            QRect text(label->x(), label->y(), textWidth, metrics.ascent() + metrics.descent());
            if (label->alignment() & Qt::AlignHCenter) {
                text.moveLeft(label->x() + (label->width() - textWidth) / 2);
            }
            for (QWidget* other : children) {
                if (other == label || qobject_cast<QLabel*>(other) != nullptr ||
                    !other->isVisibleTo(&window)) {
                    continue;
                }
                const QRect overlap = text.intersected(other->geometry());
                if (overlap.height() > 2 && overlap.width() > 2) {
                    faults.push_back(name(label) + " text runs into " + name(other));
                }
            }
        }
    }
    return faults;
}

TEST_F(LayoutTest, TheWindowKeepsASizeAtWhichEveryControlReads) {
    window->show();
    window->resize(TfPrinc::kDesignWidth, TfPrinc::kDesignHeight);
    window->CaptureLayout();
    EXPECT_EQ(ReadabilityFaults(*window), std::vector<std::string>{});

    window->resize(TfPrinc::kDesignWidth / 2, TfPrinc::kDesignHeight / 2);
    EXPECT_GE(window->width(), TfPrinc::kMinimumWidth);
    EXPECT_GE(window->height(), TfPrinc::kMinimumHeight);
    window->resize(TfPrinc::kMinimumWidth, TfPrinc::kMinimumHeight);
    EXPECT_EQ(ReadabilityFaults(*window), std::vector<std::string>{});

    // Half the design size, allowed for a moment, is what the minimum prevents.
    window->setMinimumSize(0, 0);
    window->resize(TfPrinc::kDesignWidth / 2, TfPrinc::kDesignHeight / 2);
    EXPECT_FALSE(ReadabilityFaults(*window).empty());
}

// The tag panel's children keep their design sizes: at the smallest window
// every one of them still lies inside the panel.
TEST_F(LayoutTest, TheTagPanelHoldsItsChildrenAtTheMinimumSize) {
    window->show();
    window->resize(TfPrinc::kDesignWidth, TfPrinc::kDesignHeight);
    window->CaptureLayout();
    window->resize(TfPrinc::kMinimumWidth, TfPrinc::kMinimumHeight);
    QFrame* pTag = uitest::Find<QFrame>(*window, "pTag");
    for (QWidget* child : pTag->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(pTag->rect().contains(child->geometry()))
            << child->objectName().toStdString() << " outside the panel";
    }
}

}  // namespace

}  // namespace mv
