#include "ui/common/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace mv {

namespace {

// Texts quote file names, which must never be read as markup.
int Ask(QWidget* parent, const QString& caption, const QString& text, QMessageBox::Icon icon,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

// The first "*.ext" of a filter, so a name typed without an extension gets one.
QString DefaultSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const auto match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

std::optional<QString> RunFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                                     const QString& filter, bool save) {
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) dialog.setDefaultSuffix(DefaultSuffix(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QtDialogs::QtDialogs(QString caption) : caption_(std::move(caption)) {}

void QtDialogs::Information(QWidget* parent, const QString& text) {
    Ask(parent, caption_, text, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::YesNo(QWidget* parent, const QString& text, DefaultAnswer defaultAnswer) {
    const auto def =
        defaultAnswer == DefaultAnswer::Affirmative ? QMessageBox::Yes : QMessageBox::No;
    return Ask(parent, caption_, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
               def) == QMessageBox::Yes;
}

bool QtDialogs::OkCancel(QWidget* parent, const QString& text, DefaultAnswer defaultAnswer) {
    const auto def =
        defaultAnswer == DefaultAnswer::Affirmative ? QMessageBox::Ok : QMessageBox::Cancel;
    return Ask(parent, caption_, text, QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel,
               def) == QMessageBox::Ok;
}

std::optional<QString> QtDialogs::InputText(QWidget* parent, const QString& caption,
                                            const QString& prompt, const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& caption,
                                           const QString& folder, const QString& filter) {
    return RunFileDialog(parent, caption, folder, filter, false);
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const QString& caption,
                                           const QString& folder, const QString& filter) {
    return RunFileDialog(parent, caption, folder, filter, true);
}

}  // namespace mv
