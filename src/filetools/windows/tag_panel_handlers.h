#pragma once

#include <QObject>
#include <string>

#include "filetools/id3v1_tag.h"

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
};

// The ID3v1 tag panel: ReadTag fills the five boxes from a file and shows the
// panel over the file list; Save writes them back into that file (the tag
// file), Cancel leaves it untouched. Everything runs on the GUI thread.
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
    // Writes the five boxes as the tag of the tag file.
    WriteOutcome WriteTag();
    // WriteTag, then hides the panel once the tag is written; on any failure
    // the panel stays, with the text the user typed.
    void bSaveTagClick();
    void bCancelTagClick();

    // The file the panel shows; empty before the first ReadTag.
    const std::string& TagFile() const { return tagFile_; }

  private:
    TagPanelWidgets w_;
    Dialogs& dialogs_;
    std::string tagFile_;
    // The fields as read: a box left as shown keeps these bytes, even those
    // Windows-1252 leaves undefined, which no typed text can give back.
    mv::TagTexts readFields_;
};

}  // namespace mv
