#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The ID3v1 tag: the last 128 bytes of an MP3 file. Field texts are
// Windows-1252 bytes, copied without conversion; the caller converts for
// display. Files are opened without blocking and only a regular file (or a
// link to one) is read or written, so a pipe or a device named like an MP3
// never stalls the program.
namespace mv {

inline constexpr std::size_t kTagSize = 128;

// The five text fields in the order of their placeholders %1..%5.
enum TagField : int { kTitle = 0, kArtist, kAlbum, kYear, kComment, kTagFieldCount };

struct TagFieldSlice {
    std::size_t offset;  // from the start of the block
    std::size_t width;   // bytes
};

inline constexpr std::array<TagFieldSlice, kTagFieldCount> kTagFields = {{
    {3, 30},   // title
    {33, 30},  // artist
    {63, 30},  // album
    {93, 4},   // year
    {97, 30},  // comment
}};

// One text per TagField.
using TagTexts = std::array<std::string, kTagFieldCount>;

// Whether the block (at least 3 bytes) begins with the marker "TAG".
bool HasTagMarker(std::string_view block);

// The five fields of a block of at least 127 bytes, each cut at its first
// zero byte; blanks are kept. The marker is not examined.
TagTexts ReadTagFields(std::string_view block);

// The 128 bytes written: "TAG", each text from its field's offset (cut at the
// field's width), zero bytes elsewhere, genre 0.
std::string BuildTagBlock(const TagTexts& texts);

enum class TagReadStatus {
    Tagged,    // the last 128 bytes begin with "TAG"
    Untagged,  // a file of 128 bytes or more without the marker: no tag yet
    Failed,    // missing, unreadable, not a regular file, or shorter than 128 bytes
};

struct TagReadResult {
    TagReadStatus status = TagReadStatus::Failed;
    TagTexts fields;     // Tagged: the block's fields; otherwise five empty texts
    std::string block;   // Tagged: the 128 bytes as read
    std::string reason;  // Failed: the cause, for a person to read
};

// Reads the tag of the file at `path`.
TagReadResult ReadFileTag(const std::string& path);

enum class TagWriteStatus {
    Replaced,     // the old tag was written over; the length is unchanged
    Appended,     // the file had no tag: one was added, the file grew by 128 bytes
    NotOpened,    // nothing written (cannot be opened, not a regular file, too short)
    WriteFailed,  // opened, but the write failed; the file keeps its old length
};

struct TagWriteResult {
    TagWriteStatus status = TagWriteStatus::NotOpened;
    std::string reason;  // NotOpened, WriteFailed: the cause
};

// Writes `texts` as the tag of the file at `path`. The owner's write
// permission is given first and stays (the read-only attribute is cleared). A
// file whose last 128 bytes are not a tag gets a tag appended, so its audio is
// never written over; a file shorter than 128 bytes is left alone.
TagWriteResult WriteFileTag(const std::string& path, const TagTexts& texts);

}  // namespace mv
