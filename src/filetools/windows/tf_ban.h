#pragma once

// TfBan: the ban list editor (menu BanList > Edit my ban list). One memo,
// lBanList, holds the entries one per line; opening loads BanList.txt into it,
// closing writes it back with the header in front, without a question.
//
// The main window owns one fBan for the program's life, so the memo keeps its
// text between openings (shown again when the file cannot be read).

#include <QDialog>
#include <filesystem>

class QPlainTextEdit;

namespace mv {

class Dialogs;

class TfBan : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDesignWidth = 353;
    static constexpr int kDesignHeight = 494;

    TfBan(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent = nullptr);

    // Opens the editor (FormActivate) and runs it modally until it closes.
    void ShowModal();

    // Loads the file into the memo and puts the caret at the end. When the file
    // cannot be read, or the last closing could not save the memo, the memo
    // keeps its text.
    void FormActivate();
    // Saves the memo to the file. When that fails the cause is shown and the
    // memo keeps its text for the next opening; the window closes all the same,
    // so a file that can never be written does not trap the user. True when saved.
    bool FormClose();

    // Whether the last closing could not save the memo.
    bool Unsaved() const { return unsaved_; }

    QPlainTextEdit* lBanList = nullptr;

  protected:
    void done(int result) override;

  private:
    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    bool unsaved_ = false;  // the memo holds text the file lacks
};

}  // namespace mv
