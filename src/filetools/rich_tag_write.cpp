#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "filetools/rich_tag.h"
#include "filetools/rich_tag_properties.h"
#include "media/file_bytes.h"
#include "platform/file_ops.h"
#include "platform/owned_fd.h"

// How a tag edit reaches the disk. TagLib edits a copy of the file in memory;
// the copy is checked to hold the very bytes after the tag, and the file is
// then rewritten in place from the first byte that differs. In place, not a
// new file renamed over the old: the edit must reach every hard link of the
// file, and the file keeps its owner, mode, extended attributes and inode; a
// symlink is written through to its target. When the new tag fits the old
// one's padding only the tag's bytes change, as with ID3v1. When the audio
// has to move, a safety copy of the whole old file is first written and
// flushed beside it (hidden, named after it) and removed once the rewrite is
// on disk, so a crash in the middle leaves the old file next to the cut one;
// a folder that takes no such copy refuses the edit.
namespace mv {
namespace {

std::string Cause() {
    return std::strerror(errno);
}

void SetText(TagLib::ID3v2::Tag& tag, const char* id, const std::string& utf8) {
    const TagLib::String value(utf8, TagLib::String::UTF8);
    if (value.isEmpty()) {
        tag.removeFrames(id);
        return;
    }
    const TagLib::ID3v2::FrameList& frames = tag.frameListMap()[id];
    if (!frames.isEmpty()) {
        frames.front()->setText(value);
        return;
    }
    // Latin-1 unless the text needs more: TagLib widens it when rendering.
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::Latin1);
    frame->setText(value);
    tag.addFrame(frame);
}

// The size of the ID3v2 tag at the start of `data`, 0 without one.
unsigned LeadingTagSize(const TagLib::ByteVector& data) {
    if (!data.startsWith("ID3") || data.size() < TagLib::ID3v2::Header::size()) return 0;
    const TagLib::ID3v2::Header header(data.mid(0, TagLib::ID3v2::Header::size()));
    return header.completeTagSize();
}

// The file's bytes with `wanted` in its ID3v2 tag; nullopt with `why` set
// when TagLib cannot edit it or would change more than the tag.
std::optional<TagLib::ByteVector> Edited(const TagLib::ByteVector& bytes, const RichTag& wanted,
                                         std::string& why) {
    TagLib::ByteVectorStream stream(bytes);
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    // TagLib takes any file for MPEG; one with no audio frame must not get a tag.
    if (!file.isValid() || file.firstFrameOffset() < 0) {
        why = "Not an MPEG audio file";
        return std::nullopt;
    }
    const bool had = file.hasID3v2Tag();
    TagLib::ID3v2::Tag& tag = *file.ID3v2Tag(true);
    const auto version =
        had && tag.header()->majorVersion() == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
    const RichTag old = RichTagFromProperties(tag.properties());
    const std::pair<const std::string RichTag::*, const char*> fields[] = {
        {&RichTag::title, "TIT2"}, {&RichTag::artist, "TPE1"}, {&RichTag::album, "TALB"},
        {&RichTag::year, "TDRC"},  {&RichTag::track, "TRCK"},  {&RichTag::genre, "TCON"}};
    for (const auto& [member, id] : fields) {
        if (wanted.*member != old.*member) SetText(tag, id, wanted.*member);
    }
    if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, version,
                   TagLib::File::DoNotDuplicate)) {
        why = "The tag could not be written";
        return std::nullopt;
    }
    const TagLib::ByteVector& out = *stream.data();
    const unsigned before = had ? LeadingTagSize(bytes) : 0;
    const unsigned after = LeadingTagSize(out);
    if (out.size() < after || out.size() - after != bytes.size() - before ||
        out.mid(after) != bytes.mid(before)) {
        why = "The tag's place could not be found; the file was left alone";
        return std::nullopt;
    }
    return out;
}

std::string WriteAll(int fd, const TagLib::ByteVector& data, std::size_t from) {
    std::size_t done = from;
    while (done < data.size()) {
        const ssize_t n =
            ::pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? Cause() : std::strerror(ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

// A flushed copy of `old` beside the file `path` names; its path, or "" with
// `why` set.
std::string SafetyCopy(const std::string& path, const TagLib::ByteVector& old, std::string& why) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        why = Cause();
        return {};
    }
    const std::string target = real;
    std::free(real);
    const std::size_t slash = target.rfind('/');
    std::string copy = target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".XXXXXX";
    if (copy.size() - slash - 1 > NAME_MAX) copy = target.substr(0, slash + 1) + ".mv-tag.XXXXXX";
    const OwnedFd fd(::mkostemp(copy.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        why = "No safety copy can be made beside the file: " + Cause();
        return {};
    }
    why = WriteAll(fd.get(), old, 0);
    if (why.empty() && ::fsync(fd.get()) != 0) why = Cause();
    if (why.empty()) return copy;
    RemoveOwnTemporaryFile(copy);
    return {};
}

std::string Rewrite(const std::string& path, int fd, const TagLib::ByteVector& old,
                    const TagLib::ByteVector& out) {
    std::size_t first = 0;
    while (first < old.size() && first < out.size() && old[first] == out[first]) ++first;
    std::string why;
    const std::string copy = out.size() == old.size() ? "" : SafetyCopy(path, old, why);
    if (!why.empty()) return why;
    why = WriteAll(fd, out, first);
    if (why.empty() && out.size() < old.size() && ::ftruncate(fd, out.size()) != 0) why = Cause();
    if (why.empty() && ::fsync(fd) != 0) why = Cause();
    if (!copy.empty()) {
        if (why.empty()) {
            RemoveOwnTemporaryFile(copy);
        } else {
            why += "; the old file is kept as " + copy;
        }
    }
    return why;
}

}  // namespace

RichTagWriteResult WriteRichTag(const std::string& path, const RichTag& tag) {
    RichTagWriteResult result;
    const OwnedFd fd(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        result.reason = Cause();
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.reason = "Not a regular file";
        return result;
    }
    try {
        const std::string raw = ReadBytesAt(fd.get(), 0, static_cast<std::size_t>(st.st_size));
        if (raw.size() != static_cast<std::size_t>(st.st_size)) {
            result.reason = "The file could not be read whole";
            return result;
        }
        const TagLib::ByteVector bytes(raw.data(), static_cast<unsigned>(raw.size()));
        const auto out = Edited(bytes, tag, result.reason);
        if (!out) return result;
        if (*out != bytes) result.reason = Rewrite(path, fd.get(), bytes, *out);
    } catch (const std::exception& e) {
        result.reason = e.what();
    }
    result.ok = result.reason.empty();
    return result;
}

}  // namespace mv
