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
// the copy is checked to hold the very bytes after the tag, then:
// - a file with one name, owned by us, is replaced by a new file written
//   beside it and renamed over it, so a crash leaves the old file or the new
//   one, never half of each. A symlink is resolved first: the file it points
//   to is replaced and the link stays a link.
// - a file with several hard links (or another owner's file we may write) is
//   rewritten in place from the first byte that differs, since a tag edit
//   must reach every name of the file and a rename would split them. When the
//   new tag fits the old one's padding, only the tag's bytes are written, as
//   with ID3v1; otherwise a crash can leave that file cut.
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

std::string InPlace(int fd, const TagLib::ByteVector& old, const TagLib::ByteVector& out) {
    std::size_t first = 0;
    while (first < old.size() && first < out.size() && old[first] == out[first]) ++first;
    std::string why = WriteAll(fd, out, first);
    if (why.empty() && out.size() < old.size() && ::ftruncate(fd, out.size()) != 0) why = Cause();
    if (why.empty() && ::fsync(fd) != 0) why = Cause();
    return why;
}

// Writes `out` beside the file `st` describes and renames it over that file.
// Returns the cause on failure, or "" done; `fallBack` when the folder takes
// no new file (the caller then writes in place).
std::string Replaced(const std::string& path, const struct stat& st, const TagLib::ByteVector& out,
                     bool& fallBack) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return Cause();
    const std::string target = real;
    std::free(real);
    struct stat now {};
    if (::stat(target.c_str(), &now) != 0 || now.st_ino != st.st_ino || now.st_dev != st.st_dev)
        return "The file was moved while its tag was being written";
    const std::size_t slash = target.rfind('/');
    std::string temp = target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".XXXXXX";
    if (temp.size() - slash - 1 > NAME_MAX) temp = target.substr(0, slash + 1) + ".mv-tag.XXXXXX";
    const OwnedFd tfd(::mkostemp(temp.data(), O_CLOEXEC));
    if (tfd.get() < 0) {
        fallBack = true;
        return Cause();
    }
    (void)::fchown(tfd.get(), static_cast<uid_t>(-1), st.st_gid);  // keeps the group when allowed
    std::string why = WriteAll(tfd.get(), out, 0);
    if (why.empty() && ::fchmod(tfd.get(), st.st_mode & 07777) != 0) why = Cause();
    if (why.empty() && ::fsync(tfd.get()) != 0) why = Cause();
    if (why.empty() && ::rename(temp.c_str(), target.c_str()) != 0) why = Cause();
    if (!why.empty()) RemoveOwnTemporaryFile(temp);
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
        if (*out != bytes) {
            bool fallBack = st.st_nlink != 1 || st.st_uid != ::geteuid();
            if (!fallBack) result.reason = Replaced(path, st, *out, fallBack);
            if (fallBack) result.reason = InPlace(fd.get(), bytes, *out);
        }
    } catch (const std::exception& e) {
        result.reason = e.what();
    }
    result.ok = result.reason.empty();
    return result;
}

}  // namespace mv
