#include "catalogue/windows/list_models.h"

#include "ui/common/display_text.h"

namespace mv {

ListTreeModel::ListTreeModel(const mv::ListEditCopy& copy, QObject* parent)
    : QAbstractItemModel(parent), copy_(copy) {}

QModelIndex ListTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    const ListTree& tree = copy_.Tree();
    const std::vector<uint32_t>& siblings =
        parent.isValid() ? tree.Node(NodeOf(parent)).children : tree.TopLevel();
    if (static_cast<size_t>(row) >= siblings.size()) return {};
    return createIndex(row, 0, static_cast<quintptr>(siblings[static_cast<size_t>(row)]));
}

QModelIndex ListTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    return IndexOf(copy_.Tree().Node(NodeOf(child)).parent);
}

int ListTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    const ListTree& tree = copy_.Tree();
    if (!parent.isValid()) return static_cast<int>(tree.TopLevel().size());
    return static_cast<int>(tree.Node(NodeOf(parent)).children.size());
}

int ListTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ListTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return DisplayText(mv::NodeName(copy_.Lines(), copy_.Tree().Node(NodeOf(index))));
}

QModelIndex ListTreeModel::IndexOf(uint32_t id) const {
    if (id == ListTree::kNone || id >= copy_.Tree().NodeCount()) return {};
    return createIndex(static_cast<int>(copy_.Tree().Node(id).row), 0, static_cast<quintptr>(id));
}

uint32_t ListTreeModel::NodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<uint32_t>(index.internalId()) : ListTree::kNone;
}

void ListTreeModel::Change(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
}

TitleListModel::TitleListModel(const mv::ListEditCopy& copy, QObject* parent)
    : QAbstractListModel(parent), copy_(copy) {}

int TitleListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(copy_.TitleLines().size());
}

QVariant TitleListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return DisplayText(copy_.TitleText(static_cast<size_t>(index.row())));
}

void TitleListModel::Change(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
}

void TitleListModel::EntryChanged(int row) {
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at, {Qt::DisplayRole});
}

}  // namespace mv
