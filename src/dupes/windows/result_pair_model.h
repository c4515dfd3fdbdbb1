#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "dupes/result_rows.h"

// The row pairs behind the two result lists: column 0 is the left list
// (lbCompRes), column 1 the right one (lbFile). One model for both keeps the
// two lists at the same number of rows by construction.
class ResultPairModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Item data beside the display text.
    enum Role {
        BytesRole = Qt::UserRole,  // the row's text as stored (QByteArray)
        KindRole,                  // mv::RowKind as int
    };

    explicit ResultPairModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<mv::ResultRow>& rows() const { return rows_; }
    void Clear();
    // Appends a batch with one insertion notice.
    void Append(std::vector<mv::ResultRow>&& batch);
    // Removes the given rows (ascending indices).
    void RemoveRows(const std::vector<std::size_t>& ascending);
    // Exchanges the two sides of row k.
    void SwapSides(int k);

  private:
    std::vector<mv::ResultRow> rows_;
};
