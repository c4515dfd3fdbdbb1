#include "net/windows/tf_splash.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "ui/common/display_text.h"

namespace mv {

TfSplash::TfSplash(QWidget* parent)
    // A top-level window of its own even with a parent, without border or
    // caption; not kept on top, so the download question shows above it.
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(DisplayText("fSplash"));
    setFixedSize(kDesignWidth, kDesignHeight);
    QFont design = font();
    design.setFamilies({DisplayText("MS Sans Serif"), DisplayText("Liberation Sans"),
                        DisplayText("Arial"), DisplayText("DejaVu Sans Condensed")});
    design.setPixelSize(11);
    setFont(design);
    fgd = new QLabel(DisplayText("Mp3 Vandrel is checking for new versions, please wait"), this);
    fgd->setObjectName(DisplayText("fgd"));
    fgd->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    fgd->setGeometry(0, 24, 353, 17);
}

void TfSplash::ShowAndPaint() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(kDesignWidth / 2, kDesignHeight / 2));
    }
    show();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace mv
