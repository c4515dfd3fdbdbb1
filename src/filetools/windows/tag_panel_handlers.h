#pragma once

#include <QObject>
#include <string>

#include "filetools/id3v1_tag.h"
#include "filetools/rich_tag.h"

class QAction;
class QFrame;
class QLineEdit;
class QPushButton;
class QWidget;

namespace mv {

class Dialogs;

// The tag panel of the main window and its children.
struct TagPanelWidgets {
    QWidget* window = nullptr;  // parent of the boxes
    QFrame* pTag = nullptr;
    QLineEdit* eTitle = nullptr;
    QLineEdit* eArtist = nullptr;
    QLineEdit* eAlbum = nullptr;
    QLineEdit* eYear = nullptr;
    QLineEdit* eComment = nullptr;
    QPushButton* bSaveTag = nullptr;
    QPushButton* bCancelTag = nullptr;
    QLineEdit* lRichTag = nullptr;        // read-only: the ID3v2 (else APE) fields
    QPushButton* bCopyToId3v1 = nullptr;  // enabled when the file has that tag
    QAction* tmiWriteId3v2 = nullptr;     // "Also write ID3v2 when saving"; unset: off
};

// The ID3v1 tag panel: ReadTag fills the five boxes from a file and shows the
// panel over the file list; Save writes them back into that file (the tag
// file), Cancel leaves it untouched. Under the boxes the file's ID3v2 (else
// APE) tag is shown; Copy to ID3v1 fills the boxes from it, and with "Also
// write ID3v2 when saving" Save writes the boxes into the ID3v2 tag too.
// Everything runs on the GUI thread.
class TagPanelHandlers : public QObject {
    Q_OBJECT
  public:
    enum class WriteOutcome {
        Written,      // replaced or appended
        NotOpened,    // the tag file could not be opened: a box says why (none without a file)
        WriteFailed,  // opened, but the write failed: a box says why
        TextRefused,  // a box holds a character Windows-1252 has not: nothing written
    };

    TagPanelHandlers(const TagPanelWidgets& widgets, Dialogs& dialogs, QObject* parent = nullptr);

    // Reads the tag of `path` into the boxes, shows the panel and makes `path`
    // the tag file. A file without a tag shows five empty boxes. When the file
    // cannot be read, "Unable to open file" is shown and panel and tag file
    // stay as they were.
    void ReadTag(const std::string& path);
    // Writes the five boxes as the tag of the tag file. With the ID3v2 option
    // on, then the ID3v2 tag too; its failure is shown, and the outcome stays
    // the ID3v1 write's (that tag is written).
    WriteOutcome WriteTag();
    // WriteTag, then hides the panel once the tag is written; on any failure
    // the panel stays, with the text the user typed.
    void bSaveTagClick();
    void bCancelTagClick();
    // Title, artist, album and year from the tag beyond ID3v1; the comment
    // box stays. A character ID3v1 cannot hold: a box says which, and no box
    // changes.
    void bCopyToId3v1Click();

    // The file the panel shows; empty before the first ReadTag.
    const std::string& TagFile() const { return tagFile_; }

  private:
    TagPanelWidgets w_;
    Dialogs& dialogs_;
    std::string tagFile_;
    // The fields as read: a box left as shown keeps these bytes, even those
    // Windows-1252 leaves undefined, which no typed text can give back.
    mv::TagTexts readFields_;
    mv::RichTag richTag_;  // the tag file's ID3v2 (else APE) fields as read; empty for none

    // After the ID3v1 tag is written: the same fields into the ID3v2 tag.
    void WriteId3v2(const mv::TagTexts& texts);
};

}  // namespace mv
