#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>
#include <vector>

#include "catalogue/windows/tf_stats.h"
#include "support/core/temp_tree.h"
#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"
#include "ui/common/fitting_label.h"

namespace mv {

namespace {

struct Place {
    const char* name;
    QRect design;
    QRect doubled;  // at twice the design size
};

// The tree and the titles share the new width, the edit box grows with the
// titles; buttons keep their size; the bottom rows keep to the bottom edge.
const Place kPlaces[] = {
    {"Label1", {8, 8, 353, 22}, {8, 8, 724, 22}},
    {"Label2", {376, 8, 359, 22}, {747, 8, 731, 22}},
    {"tCD", {8, 32, 353, 410}, {8, 32, 724, 998}},
    {"ltitles", {376, 32, 359, 410}, {747, 32, 731, 998}},
    {"Button1", {8, 450, 170, 25}, {8, 1038, 170, 25}},
    {"eEdit", {376, 452, 199, 21}, {747, 1040, 571, 21}},
    {"Button3", {583, 450, 72, 25}, {1326, 1038, 72, 25}},
    {"bSearch", {663, 450, 72, 25}, {1406, 1038, 72, 25}},
    {"rbDisplayMode", {8, 482, 353, 72}, {8, 1070, 724, 72}},
    {"Button2", {376, 482, 240, 25}, {747, 1070, 240, 25}},
    {"bExport", {376, 516, 95, 25}, {747, 1104, 95, 25}},
    {"bImport", {482, 516, 95, 25}, {853, 1104, 95, 25}},
    {"bRenameCd", {588, 516, 95, 25}, {959, 1104, 95, 25}},
    {"lstats", {8, 564, 727, 16}, {8, 1152, 1470, 16}},
};

std::string Name(const QWidget* w) {
    return w->objectName().toStdString();
}

// What keeps the window from reading at its present size: controls that
// overlap or leave the window, texts that do not fit their controls.
std::vector<std::string> Faults(TfStats& w) {
    std::vector<std::string> faults;
    const QList<QWidget*> children = w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* a : children) {
        if (!w.rect().contains(a->geometry())) faults.push_back(Name(a) + " leaves the window");
        for (QWidget* b : children) {
            if (a < b && a->geometry().intersects(b->geometry())) {
                faults.push_back(Name(a) + " overlaps " + Name(b));
            }
        }
    }
    for (QPushButton* button : w.findChildren<QPushButton*>()) {
        const QFontMetrics m(button->font());
        if (m.horizontalAdvance(button->text()) + 8 > button->width() ||
            m.height() + 4 > button->height()) {
            faults.push_back(Name(button) + ": text cut");
        }
    }
    for (QRadioButton* radio : w.findChildren<QRadioButton*>()) {
        if (radio->width() < radio->sizeHint().width() ||
            !w.rbDisplayMode->contentsRect().contains(radio->geometry())) {
            faults.push_back(Name(radio) + ": text cut");
        }
    }
    const QFontMetrics groupTitle(w.rbDisplayMode->font());
    if (groupTitle.horizontalAdvance(w.rbDisplayMode->title()) > w.rbDisplayMode->width()) {
        faults.push_back("rbDisplayMode: caption cut");
    }
    for (FittingLabel* label : w.findChildren<FittingLabel*>()) {
        QFont font = label->font();
        font.setPixelSize(label->FittedPixelSize());
        const QFontMetrics m(font);
        if (font.pixelSize() < 8) faults.push_back(Name(label) + ": text below 8 px");
        if (m.horizontalAdvance(label->text()) > label->contentsRect().width()) {
            faults.push_back(Name(label) + ": text cut at the right");
        }
        if (m.ascent() + m.descent() > label->height() + 2) {
            faults.push_back(Name(label) + ": text cut at the bottom");
        }
    }
    const QFontMetrics edit(w.eEdit->font());
    if (edit.height() + 4 > w.eEdit->height()) faults.push_back("eEdit: text cut");
    return faults;
}

class TfStatsLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        mv::test::TestApplication();
        window.show();
        // The longest counts a 200,000-title catalogue shows.
        window.lstats->setText(
            QString::fromLatin1("Total Titles: 200000 This directory titles number: 200000"));
    }
    mv::test::TempTree tree;
    ScriptedDialogs dialogs;
    TfStats window{dialogs, tree.Root(), {}};
};

TEST_F(TfStatsLayout, EveryControlAtItsDesignPlaceAndStretchedByTheRules) {
    EXPECT_EQ(window.size(), QSize(TfStats::kDesignWidth, TfStats::kDesignHeight));
    for (const Place& p : kPlaces) {
        auto* w = window.findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.design) << p.name;
    }
    EXPECT_EQ(Faults(window), std::vector<std::string>{});

    window.resize(2 * TfStats::kDesignWidth, 2 * TfStats::kDesignHeight);
    for (const Place& p : kPlaces) {
        EXPECT_EQ(window.findChild<QWidget*>(QString::fromLatin1(p.name))->geometry(), p.doubled)
            << p.name;
    }
    EXPECT_EQ(Faults(window), std::vector<std::string>{});

    // Back at the design size, everything is where it started.
    window.resize(TfStats::kDesignWidth, TfStats::kDesignHeight);
    for (const Place& p : kPlaces) {
        EXPECT_EQ(window.findChild<QWidget*>(QString::fromLatin1(p.name))->geometry(), p.design)
            << p.name;
    }
}

TEST_F(TfStatsLayout, TheSmallestSizeStillReads) {
    window.resize(100, 100);
    EXPECT_EQ(window.size(), QSize(TfStats::kMinimumWidth, TfStats::kMinimumHeight));
    EXPECT_EQ(Faults(window), std::vector<std::string>{});
    // Well below it the check does find faults.
    window.setMinimumSize(0, 0);
    window.resize(TfStats::kMinimumWidth - 200, TfStats::kMinimumHeight);
    EXPECT_NE(Faults(window), std::vector<std::string>{});
}

}  // namespace

}  // namespace mv
