#pragma once

#include <QAbstractItemModel>
#include <QAbstractListModel>
#include <cstdint>
#include <functional>

#include "catalogue/list_edit_copy.h"

namespace mv {

// The views of the list editor's copy: the tree of CDs and folders (tCD) and
// the titles shown for the selected node (ltitles). Both read the copy as it
// stands; a change that moves nodes or entries goes through Change(), which
// tells the view to read everything again. GUI thread only.

class ListTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    explicit ListTreeModel(const mv::ListEditCopy& copy, QObject* parent = nullptr);

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The index of node `id`; invalid for ListTree::kNone.
    QModelIndex IndexOf(uint32_t id) const;
    // The node of `index`; ListTree::kNone for an invalid index.
    static uint32_t NodeOf(const QModelIndex& index);
    // Runs `change` on the copy between the start and the end of a reset.
    void Change(const std::function<void()>& change);

  private:
    const mv::ListEditCopy& copy_;
};

class TitleListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit TitleListModel(const mv::ListEditCopy& copy, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void Change(const std::function<void()>& change);
    // Entry `row` got a new text.
    void EntryChanged(int row);

  private:
    const mv::ListEditCopy& copy_;
};

}  // namespace mv
