#include "filetools/windows/tag_panel_handlers.h"

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <cstdio>

#include "filetools/id3v1_tag.h"
#include "filetools/windows/rich_tag_line.h"
#include "platform/text_encoding.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

const char* const kFieldNames[mv::kTagFieldCount] = {"Title", "Artist", "Album", "Year", "Comment"};

std::array<QLineEdit*, mv::kTagFieldCount> Boxes(const TagPanelWidgets& w) {
    return {w.eTitle, w.eArtist, w.eAlbum, w.eYear, w.eComment};
}

// "日" (U+65E5), or the code alone where the character cannot be shown.
std::string CharacterText(char32_t cp) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    if (cp == 0xFFFD) return code;
    std::string text = "\"";
    mv::AppendUtf8(text, cp);
    return text + "\" (" + code + ")";
}

}  // namespace

TagPanelHandlers::TagPanelHandlers(const TagPanelWidgets& widgets, Dialogs& dialogs,
                                   QObject* parent)
    : QObject(parent), w_(widgets), dialogs_(dialogs) {
    connect(w_.bSaveTag, &QPushButton::clicked, this, &TagPanelHandlers::bSaveTagClick);
    connect(w_.bCancelTag, &QPushButton::clicked, this, &TagPanelHandlers::bCancelTagClick);
    if (w_.bCopyToId3v1 != nullptr) {
        connect(w_.bCopyToId3v1, &QPushButton::clicked, this, &TagPanelHandlers::bCopyToId3v1Click);
    }
}

void TagPanelHandlers::ReadTag(const std::string& path) {
    const mv::TagReadResult tag = mv::ReadFileTag(path);
    if (tag.status == mv::TagReadStatus::Failed) {
        dialogs_.Information(w_.window, DisplayText("Unable to open file"));
        return;
    }
    const auto boxes = Boxes(w_);
    for (int f = 0; f < mv::kTagFieldCount; ++f) boxes[f]->setText(Windows1252Text(tag.fields[f]));
    w_.pTag->show();
    w_.pTag->raise();
    tagFile_ = path;
    readFields_ = tag.fields;
    // An unreadable richer tag is shown as none: the ID3v1 editor still works.
    const mv::RichTagRead rich = mv::ReadRichTag(path);
    const bool has = rich.ok && rich.source != mv::RichTagSource::None;
    richTag_ = has ? rich.tag : mv::RichTag{};
    if (w_.lRichTag != nullptr) {
        w_.lRichTag->setText(RichTagLine(rich));
        w_.lRichTag->setCursorPosition(0);
        w_.lRichTag->setToolTip(RichTagDetails(rich));
    }
    if (w_.bCopyToId3v1 != nullptr) w_.bCopyToId3v1->setEnabled(has);
}

void TagPanelHandlers::bCopyToId3v1Click() {
    const mv::Id3v1Copy copy = mv::Id3v1FromRichTag(richTag_, readFields_);
    if (!copy.texts) {
        dialogs_.Information(w_.window,
                             DisplayText(std::string("The ") + kFieldNames[copy.field] +
                                         " cannot take the character " + CharacterText(copy.bad) +
                                         ": an ID3v1 tag holds only Windows-1252 characters. "
                                         "Nothing was copied."));
        return;
    }
    const auto boxes = Boxes(w_);
    for (int f = mv::kTitle; f <= mv::kYear; ++f)
        boxes[f]->setText(Windows1252Text((*copy.texts)[f]));
}

void TagPanelHandlers::WriteId3v2(const mv::TagTexts& texts) {
    std::array<std::string, mv::kTagFieldCount> typed;
    std::array<bool, mv::kTagFieldCount> changed{};
    // A box holding what Copy to ID3v1 gives is the ID3v2 text cut short, not an edit.
    const mv::Id3v1Copy copied = mv::Id3v1FromRichTag(richTag_, readFields_);
    const auto boxes = Boxes(w_);
    for (int f = 0; f < mv::kTagFieldCount; ++f) {
        typed[f] = TypedBytes(boxes[f]->text());
        changed[f] =
            texts[f] != readFields_[f] && !(copied.texts && texts[f] == (*copied.texts)[f]);
    }
    const mv::RichTag tag = RichTagForSave(richTag_, typed, changed);
    const mv::RichTagWriteResult written = mv::WriteRichTag(tagFile_, tag);
    if (written.ok) {
        richTag_ = tag;
        return;
    }
    dialogs_.Information(w_.window,
                         DisplayText("The ID3v1 tag was saved, but the ID3v2 tag of " + tagFile_ +
                                     " could not be written: " + written.reason + "."));
}

TagPanelHandlers::WriteOutcome TagPanelHandlers::WriteTag() {
    // Every box is checked before the file is touched.
    mv::TagTexts texts;
    const auto boxes = Boxes(w_);
    for (int f = 0; f < mv::kTagFieldCount; ++f) {
        if (!tagFile_.empty() && boxes[f]->text() == Windows1252Text(readFields_[f])) {
            texts[f] = readFields_[f];
            continue;
        }
        char32_t bad = 0;
        std::optional<std::string> bytes =
            mv::Utf8ToWindows1252Exact(TypedBytes(boxes[f]->text()), &bad);
        if (!bytes) {
            dialogs_.Information(w_.window,
                                 DisplayText(std::string("The ") + kFieldNames[f] +
                                             " cannot hold the character " + CharacterText(bad) +
                                             ": an ID3v1 tag holds only Windows-1252 characters. "
                                             "Nothing was written."));
            boxes[f]->setFocus();
            return WriteOutcome::TextRefused;
        }
        texts[f] = std::move(*bytes);
    }
    if (tagFile_.empty()) return WriteOutcome::NotOpened;
    const mv::TagWriteResult written = mv::WriteFileTag(tagFile_, texts);
    const bool opened = written.status == mv::TagWriteStatus::WriteFailed;
    switch (written.status) {
        case mv::TagWriteStatus::Replaced:
        case mv::TagWriteStatus::Appended:
            if (w_.tmiWriteId3v2 != nullptr && w_.tmiWriteId3v2->isChecked()) WriteId3v2(texts);
            return WriteOutcome::Written;
        case mv::TagWriteStatus::NotOpened:
        case mv::TagWriteStatus::WriteFailed:
            break;
    }
    // The cause in the tool's words, so the user knows what to fix before Save again.
    dialogs_.Information(
        w_.window,
        DisplayText(std::string(opened ? "Unable to write in the file " : "Unable to open file ") +
                    tagFile_ + ": " + written.reason +
                    ". The tag was not saved; the panel keeps your text."));
    return opened ? WriteOutcome::WriteFailed : WriteOutcome::NotOpened;
}

void TagPanelHandlers::bSaveTagClick() {
    if (WriteTag() == WriteOutcome::Written) w_.pTag->hide();
}

void TagPanelHandlers::bCancelTagClick() {
    w_.pTag->hide();
}

}  // namespace mv
