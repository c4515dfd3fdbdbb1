#include "filetools/rich_tag.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/apetag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>

#include <cerrno>
#include <cstring>

#include "filetools/rich_tag_properties.h"
#include "media/descriptor_stream.h"
#include "media/file_window.h"
#include "platform/owned_fd.h"
#include "platform/text_encoding.h"

namespace mv {
namespace {

std::string First(const TagLib::PropertyMap& map, const char* key) {
    const auto it = map.find(key);
    if (it == map.end() || it->second.isEmpty()) return {};
    return it->second.front().to8Bit(true);
}

bool Blank(const RichTag& tag) {
    return tag == RichTag{};
}

}  // namespace

// Shared with the writer, which compares against the very same reading.
RichTag RichTagFromProperties(const TagLib::PropertyMap& map) {
    RichTag tag;
    tag.title = First(map, "TITLE");
    tag.artist = First(map, "ARTIST");
    tag.album = First(map, "ALBUM");
    tag.year = First(map, "DATE");
    tag.track = First(map, "TRACKNUMBER");
    tag.genre = First(map, "GENRE");
    tag.comment = First(map, "COMMENT");
    return tag;
}

RichTagRead ReadRichTag(const std::string& path) {
    RichTagRead result;
    const OwnedFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        result.reason = std::strerror(errno);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.reason = S_ISDIR(st.st_mode) ? "Is a folder, not a file" : "Not a regular file";
        return result;
    }
    try {
        FileWindow window(fd.get(), static_cast<std::uint64_t>(st.st_size));
        DescriptorStream stream(window);
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        result.ok = true;
        if (file.hasID3v2Tag()) {
            result.tag = RichTagFromProperties(file.ID3v2Tag()->properties());
            if (!Blank(result.tag)) result.source = RichTagSource::Id3v2;
        }
        if (result.source == RichTagSource::None && file.hasAPETag()) {
            result.tag = RichTagFromProperties(file.APETag()->properties());
            if (!Blank(result.tag)) result.source = RichTagSource::Ape;
        }
        if (result.source == RichTagSource::None) result.tag = {};
    } catch (const std::exception& e) {
        result = {};
        result.reason = e.what();
    }
    return result;
}

Id3v1Copy Id3v1FromRichTag(const RichTag& tag, const TagTexts& current) {
    Id3v1Copy copy;
    TagTexts texts = current;
    const std::string* from[] = {&tag.title, &tag.artist, &tag.album, &tag.year};
    for (int f = kTitle; f <= kYear; ++f) {
        char32_t bad = 0;
        std::optional<std::string> bytes = Utf8ToWindows1252Exact(*from[f], &bad);
        if (!bytes) {
            copy.field = f;
            copy.bad = bad;
            return copy;
        }
        texts[f] = bytes->substr(0, kTagFields[f].width);
    }
    copy.texts = std::move(texts);
    return copy;
}

}  // namespace mv
