#include "filetools/windows/tf_ban.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "filetools/ban_list.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

TfBan::TfBan(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), programFolder_(std::move(programFolder)) {
    setObjectName(DisplayText("fBan"));
    setWindowTitle(DisplayText("Edit your banlist"));
    resize(kDesignWidth, kDesignHeight);

    lBanList = new QPlainTextEdit(this);
    lBanList->setObjectName(DisplayText("lBanList"));
    // Entries are lines: a long one scrolls instead of wrapping into two.
    lBanList->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lBanList);
}

void TfBan::ShowModal() {
    FormActivate();
    exec();
}

void TfBan::FormActivate() {
    if (!unsaved_) {
        const mv::ReadLinesResult read = mv::ReadBanList(mv::BanListFile(programFolder_));
        if (read.status == mv::ReadStatus::Read) {
            QStringList lines;
            // Line by line, so one line in Windows-1252 does not spoil the others.
            for (const std::string& line : mv::EditorLinesFromFileLines(read.lines)) {
                lines << DisplayText(line);
            }
            lBanList->setPlainText(lines.join(QLatin1Char('\n')));
        }
    }
    QTextCursor cursor = lBanList->textCursor();
    cursor.movePosition(QTextCursor::End);
    lBanList->setTextCursor(cursor);
    lBanList->setFocus();
}

bool TfBan::FormClose() {
    const std::string failure =
        mv::SaveBanList(mv::BanListFile(programFolder_), TypedBytes(lBanList->toPlainText()));
    unsaved_ = !failure.empty();
    if (unsaved_) {
        dialogs_.Information(
            this, DisplayText("Your ban list was not saved. " + failure +
                              " Your text stays in the editor; closing it again saves it."));
    }
    return !unsaved_;
}

void TfBan::done(int result) {
    FormClose();
    QDialog::done(result);
}

}  // namespace mv
