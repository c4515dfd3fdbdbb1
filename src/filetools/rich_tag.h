#pragma once

#include <optional>
#include <string>

#include "filetools/id3v1_tag.h"

// The tags beyond ID3v1: an ID3v2 tag at the start of the file, else an APE
// tag at its end, read and written through TagLib as UTF-8 texts. A file is
// opened without blocking and only a regular file (or a link to one) is read
// or written; nothing here throws.
namespace mv {

// The fields the tag panel and the naming model use. `comment` is read for
// the naming model's %5 but never written here.
struct RichTag {
    std::string title, artist, album, year, track, genre;
    std::string comment;
    friend bool operator==(const RichTag&, const RichTag&) = default;
};

enum class RichTagSource {
    None,   // neither tag, or both empty
    Id3v2,  // the ID3v2 tag (preferred when it holds anything)
    Ape,    // no usable ID3v2 tag; the APE tag
};

struct RichTagRead {
    bool ok = false;  // false: the file could not be read; see `reason`
    RichTagSource source = RichTagSource::None;
    RichTag tag;         // empty texts for None
    std::string reason;  // !ok: the cause, for a person to read
};

// Reads the ID3v2 (else APE) fields of the file at `path`. Track and year are
// the tag's texts as stored ("3/12", "1999-05-01"); a genre given by number
// reads as its name.
RichTagRead ReadRichTag(const std::string& path);

struct RichTagWriteResult {
    bool ok = false;
    std::string reason;  // !ok: the cause; the file is as it was
};

// Writes the six fields (not the comment) into the file's ID3v2 tag, making
// one when it has none and keeping its version (2.3 stays 2.3, else 2.4). Only
// the fields that differ from the file's are touched: every other frame
// (pictures, comments, TXXX, ...) is kept, an empty text removes its frame,
// and the bytes after the tag (the audio, ID3v1, APE) stay byte for byte.
// The file is rewritten in place (every hard link sees the edit; a symlink
// is written through), with a safety copy beside it while the audio moves.
RichTagWriteResult WriteRichTag(const std::string& path, const RichTag& tag);

struct Id3v1Copy {
    std::optional<TagTexts> texts;  // nullopt: a character ID3v1 cannot hold
    int field = kTitle;             // !texts: the field it is in
    char32_t bad = 0;               // !texts: that character
};

// "Copy to ID3v1": title, artist, album and year of `tag` as ID3v1 field
// texts in Windows-1252, each cut to its field's width; the comment is
// `current`'s (an ID3v2 comment rarely fits 30 bytes and is often a player's
// notes). A character without a Windows-1252 byte refuses the whole copy, as
// the ID3v1 editor refuses it.
Id3v1Copy Id3v1FromRichTag(const RichTag& tag, const TagTexts& current);

}  // namespace mv
