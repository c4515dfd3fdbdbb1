#include "filetools/windows/rename_preview_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/common/display_text.h"

namespace mv {

namespace {

// The path below the browser folder, so files of subfolders stay told apart.
std::string Within(const std::string& root, const std::string& path) {
    const std::string prefix = root.empty() || root.back() == '/' ? root : root + "/";
    return path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path;
}

QTableWidgetItem* Cell(const std::string& text) {
    auto* item = new QTableWidgetItem(DisplayText(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

RenamePreviewDialog::RenamePreviewDialog(const RenamePreview& preview, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(this)), counts_(new QLabel(this)) {
    setObjectName(DisplayText("RenamePreview"));
    setWindowTitle(DisplayText("Rename All"));
    std::string counts = "In " + preview.params.root + ": " + CountsText(preview.counts) + ".";
    for (const std::string& folder : preview.foldersPassedOver) {
        counts += "\n" + FolderPassedOverLine(folder);
    }
    counts_->setText(DisplayText(counts));
    counts_->setWordWrap(true);
    table_->setObjectName(DisplayText("tPreview"));
    FillTable(preview);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* rename = buttons->addButton(DisplayText("&Rename"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(DisplayText("Cancel"), QDialogButtonBox::RejectRole);
    rename->setObjectName(DisplayText("bPreviewRename"));
    cancel->setObjectName(DisplayText("bPreviewCancel"));
    // Renaming many files is one click away, never one Enter away.
    rename->setAutoDefault(false);
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counts_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(720, 420);
}

void RenamePreviewDialog::FillTable(const RenamePreview& preview) {
    table_->setColumnCount(3);
    table_->setHorizontalHeaderLabels(
        {DisplayText("Old name"), DisplayText("New name"), DisplayText("Reason")});
    table_->setRowCount(static_cast<int>(preview.rows.size()));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    for (int r = 0; r < table_->rowCount(); ++r) {
        const RenameOutcome& row = preview.rows[static_cast<std::size_t>(r)];
        const bool kept = row.status != RenameStatus::Renamed;
        std::string reason = row.reason;
        if (row.status == RenameStatus::SameName) reason = "already has its name";
        table_->setItem(r, 0, Cell(Within(preview.params.root, row.path)));
        table_->setItem(r, 1, Cell(row.newName));
        table_->setItem(r, 2, Cell(kept ? reason : std::string()));
    }
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
}

}  // namespace mv
