#pragma once

#include <QDialog>

#include "filetools/rename_preview.h"

class QLabel;
class QTableWidget;

namespace mv {

// Rename All's table before anything is renamed: each file's old name (within
// the browser folder), the new name and, for a file that keeps its name, why;
// above it the count of each kind. Rename accepts, Cancel (the default
// button, and Esc) rejects; the caller performs the table on accept.
class RenamePreviewDialog : public QDialog {
    Q_OBJECT
  public:
    explicit RenamePreviewDialog(const RenamePreview& preview, QWidget* parent = nullptr);

    QTableWidget* Table() const { return table_; }
    QLabel* Counts() const { return counts_; }

  private:
    void FillTable(const RenamePreview& preview);

    QTableWidget* table_;
    QLabel* counts_;
};

}  // namespace mv
