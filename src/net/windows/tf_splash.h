#pragma once

// TfSplash: the small borderless window that says the version check is
// running. Created hidden at start-up; the check shows it, lets it paint
// before its blocking request, and closes it.

#include <QWidget>

class QLabel;

namespace mv {

class TfSplash : public QWidget {
  public:
    static constexpr int kDesignWidth = 353;
    static constexpr int kDesignHeight = 74;

    explicit TfSplash(QWidget* parent = nullptr);

    // Centres the window on the screen, shows it and paints it now, since the
    // GUI thread blocks right after.
    void ShowAndPaint();

    QLabel* fgd = nullptr;
};

}  // namespace mv
