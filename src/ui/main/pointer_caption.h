#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAbstractItemView;
class QWidget;

namespace mv {

// PointerCaption: the window's caption follows the pointer. Over an entry of
// one of `lists`: the extension's caption with the entry's text, which also
// becomes the list's tooltip; over one of `buttons`: the button's tooltip;
// over the bare `client` area: the extension's caption with the player's
// status. Elsewhere the caption stays.
struct PointerCaptionParams {
    QWidget* window = nullptr;
    QWidget* client = nullptr;
    std::vector<QAbstractItemView*> lists;
    std::vector<QWidget*> buttons;
    std::function<QString()> extension;
    std::function<QString()> status;
};

class PointerCaption : public QObject {
  public:
    explicit PointerCaption(PointerCaptionParams params);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OverList(QAbstractItemView* list, const QPoint& pos);

    PointerCaptionParams p_;
};

}  // namespace mv
