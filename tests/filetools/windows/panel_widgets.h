// The tag panel's widgets as the main window lays them out, on a window of
// their own; `rich` adds the line of the tag beyond ID3v1, its Copy button and
// the "Also write ID3v2 when saving" option.
#pragma once

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "filetools/windows/tag_panel_handlers.h"

namespace mv::test {

inline TagPanelWidgets MakePanelWidgets(QWidget& window, bool rich) {
    TagPanelWidgets w;
    w.window = &window;
    w.pTag = new QFrame(&window);
    for (QLineEdit** box : {&w.eTitle, &w.eArtist, &w.eAlbum, &w.eYear, &w.eComment}) {
        *box = new QLineEdit(w.pTag);
        (*box)->setMaxLength(box == &w.eYear ? 4 : 30);
    }
    w.bSaveTag = new QPushButton(w.pTag);
    w.bCancelTag = new QPushButton(w.pTag);
    if (rich) {
        w.lRichTag = new QLineEdit(w.pTag);
        w.bCopyToId3v1 = new QPushButton(w.pTag);
        w.tmiWriteId3v2 = new QAction(&window);
        w.tmiWriteId3v2->setCheckable(true);
    }
    return w;
}

inline QStringList PanelBoxes(const TagPanelWidgets& w) {
    return {w.eTitle->text(), w.eArtist->text(), w.eAlbum->text(), w.eYear->text(),
            w.eComment->text()};
}

}  // namespace mv::test
