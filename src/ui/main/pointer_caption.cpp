#include "ui/main/pointer_caption.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <algorithm>

#include "ui/main/caption_feedback.h"

namespace mv {

PointerCaption::PointerCaption(PointerCaptionParams params) : p_(std::move(params)) {
    std::vector<QWidget*> watched = {p_.client};
    for (QAbstractItemView* list : p_.lists) watched.push_back(list->viewport());
    watched.insert(watched.end(), p_.buttons.begin(), p_.buttons.end());
    for (QWidget* w : watched) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void PointerCaption::OverList(QAbstractItemView* list, const QPoint& pos) {
    const QModelIndex index = list->indexAt(pos);
    if (!index.isValid()) return;
    const QString text = index.data(Qt::DisplayRole).toString();
    p_.window->setWindowTitle(mv::FeedbackCaption(p_.extension(), text));
    list->setToolTip(text);
}

bool PointerCaption::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove) return false;
    auto* widget = static_cast<QWidget*>(watched);
    const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (widget == p_.client) {
        if (p_.client->childAt(pos) == nullptr) {
            p_.window->setWindowTitle(mv::FeedbackCaption(p_.extension(), p_.status()));
        }
    } else if (std::find(p_.buttons.begin(), p_.buttons.end(), widget) != p_.buttons.end()) {
        p_.window->setWindowTitle(widget->toolTip());
    } else if (auto* list = qobject_cast<QAbstractItemView*>(widget->parentWidget())) {
        OverList(list, pos);
    }
    return false;
}

}  // namespace mv
